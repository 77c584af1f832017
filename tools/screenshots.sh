#!/usr/bin/env bash
# Takes a picture of the main window on each tab, for the README:
#   tools/screenshots.sh [BUILD_DIR]   (default build/default) -> docs/tab-N.png
# Runs the program under Xvfb and clicks each tab with xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
if [[ -z "${QS_IN_XVFB:-}" ]]; then
  QS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
mkdir -p docs

mapfile -t tabs < <("$build/app/desktop/tab_positions")
"$build/app/desktop/quillsmith" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
window=$(xdotool search --sync --onlyvisible --name '^Quillsmith$' | head -n1)
sleep 1
for i in "${!tabs[@]}"; do
  read -r x y <<<"${tabs[$i]}"
  xdotool mousemove --window "$window" "$x" "$y" click 1
  xdotool mousemove 1270 1010  # keep the pointer off the picture
  sleep 0.5
  import -window "$window" "docs/tab-$i.png"
done
echo "wrote docs/tab-0.png to docs/tab-$(( ${#tabs[@]} - 1 )).png"
