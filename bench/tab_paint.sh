#!/usr/bin/env bash
# From choosing each tab to its page's paint, the first time (its page still
# to be made) and again: on Linux under Xvfb and, when tools/windows-check
# has built it, the Windows program under Wine. Goals: under 50 ms on Linux,
# under 100 ms under Wine.
#   bench/tab_paint.sh    (after a build of the default preset)
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -z "${QS_IN_XVFB:-}" ]]; then
  QS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
state=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$state"' EXIT
export XDG_STATE_HOME=$state
echo "Linux (Qt, xcb):"
QT_QPA_PLATFORM=xcb build/default/app/desktop/tab_paint_probe 2>/dev/null
probe=build/windows/app/desktop/tab_paint_probe.exe
if [[ -f $probe ]] && command -v wine >/dev/null; then
  export WINEPREFIX=$state/prefix WINEDEBUG=-all
  wineboot -i >/dev/null 2>&1
  echo "Windows (Win32, Wine):"
  wine "$probe" 2>/dev/null | tr -d '\r'
fi
