#!/usr/bin/env bash
# template_pack refuses a text source with a character Windows-1251 cannot
# hold, whatever else the source holds, and takes one that it can.
set -uo pipefail

: "${QS_BUILD_DIR:?}"
pack="$QS_BUILD_DIR/tools/template_pack"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check() {  # check STATUS SOURCE-TEXT WHAT
  printf '%s\n' "$2" >"$work/source.htm"
  "$pack" "$work/out.chm" "htm_begin=text:$work/source.htm" 2>"$work/stderr"
  local status=$?
  [[ $status == "$1" ]] || fail "$3: status $status, expected $1 ($(cat "$work/stderr"))"
}

check 0 'Привет &#38; &amp;' "Cyrillic beside a literal reference"
check 1 'Привет 日本' "a character outside Windows-1251"
check 1 'Привет &#38; 日本' "the same beside a literal reference"
check 1 $'bad \xFF byte' "malformed UTF-8"

((failures == 0)) && echo "template_pack test: all cases passed"
exit $((failures > 0))
