#!/usr/bin/env bash
# Start-up of quillsmith.exe under Wine, from launch to its window shown on
# the X server, against a minimal Win32 window (bench/win32_baseline.cpp)
# measured the same way, alternately, in one warmed Wine prefix:
#   bench/windows_startup.sh [ROUNDS]    (after tools/windows-check)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-15}
if [[ -z "${QS_IN_XVFB:-}" ]]; then
  QS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
# QS_PROGRAM: another build of the program, to compare before and after a change.
program=${QS_PROGRAM:-$PWD/build/windows/app/desktop/quillsmith.exe}
[[ -f $program ]] || { echo "no $program: run tools/windows-check first" >&2; exit 1; }
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -static -mwindows -municode bench/win32_baseline.cpp -o "$work/baseline.exe"
# The window is seen by the X server's own event, not by polling it: a
# poller would take one of the machine's processors from Wine.
g++ -std=c++20 -O2 bench/map_watch.cpp -lX11 -o "$work/map_watch"
export WINEPREFIX=$work/prefix WINEDEBUG=-all
wineboot -i >/dev/null 2>&1
wineserver -p 60 || true  # stays between launches, as on a running desktop

# Milliseconds from launch to a shown window titled TITLE.
launch() {  # exe title
  "$work/map_watch" "$2" wine "$1" 2>/dev/null
}
launch "$work/baseline.exe" Baseline >/dev/null  # the first start loads Wine's own DLLs
launch "$program" Quillsmith >/dev/null
base=() quill=()
for _ in $(seq "$rounds"); do
  base+=("$(launch "$work/baseline.exe" Baseline)")
  quill+=("$(launch "$program" Quillsmith)")
done
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
b=$(median "${base[@]}")
q=$(median "${quill[@]}")
echo "launch to window under Wine, median of $rounds: quillsmith.exe $q ms, minimal Win32 window $b ms, ratio $(awk -v q="$q" -v b="$b" 'BEGIN { printf "%.2f", q / b }')"
