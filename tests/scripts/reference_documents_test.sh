#!/usr/bin/env bash
# The committed user guide and licence are what their sources give: each
# resources/*.rtf is rewritten from resources/documents/*.txt and compared.
set -euo pipefail
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
for name in help license; do
  "$QS_BUILD_DIR/tools/rtf_compose" "$QS_SOURCE_DIR/resources/documents/$name.txt" "$tmp/$name.rtf"
  if ! cmp -s "$tmp/$name.rtf" "$QS_SOURCE_DIR/resources/$name.rtf"; then
    echo "resources/$name.rtf is out of date: run tools/make_documents.sh" >&2
    status=1
  fi
done

# A source error is reported, not written half.
printf '**unclosed\n' >"$tmp/bad.txt"
if "$QS_BUILD_DIR/tools/rtf_compose" "$tmp/bad.txt" "$tmp/bad.rtf" 2>/dev/null || [[ -e "$tmp/bad.rtf" ]]; then
  echo "rtf_compose accepted an unclosed **" >&2
  status=1
fi
exit $status
