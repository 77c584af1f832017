#!/usr/bin/env bash
# Writes the user guide and the licence, resources/help.rtf and
# resources/license.rtf (committed), from their UTF-8 sources in
# resources/documents/ with the build's rtf_compose. Run it after editing a
# source; a script test fails while a committed .rtf is out of date.
#   tools/make_documents.sh [BUILD_DIR]      (default build/default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/default}
cmake --build "$build" --target rtf_compose >/dev/null
for name in help license; do
  "$build/tools/rtf_compose" "$root/resources/documents/$name.txt" "$root/resources/$name.rtf"
  echo "resources/$name.rtf: $(wc -c <"$root/resources/$name.rtf") bytes"
done
