#!/usr/bin/env bash
# Takes a picture of the main window on each tab, for the README:
#   tools/screenshots.sh [BUILD_DIR]   (default build/default) -> docs/tab-N.png
#   tools/screenshots.sh --small [BUILD_DIR]  -> docs/small-screen-{top,bottom}.png
# Runs the program under Xvfb and clicks each tab with xdotool. --small shows
# it on a 1366 x 768 screen at 125 % with an 11 pt desktop font (GTK's
# settings, as a GNOME desktop gives them to Qt).
set -euo pipefail
cd "$(dirname "$0")/.."
small=""
if [[ ${1:-} == --small ]]; then small=1; shift; fi
build=${1:-build/default}
if [[ -z "${QS_IN_XVFB:-}" ]]; then
  screen="1280x1024x24"
  [[ -n $small ]] && screen="1366x768x24"
  QS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 $screen" "$0" ${small:+--small} "$@"
fi
export QT_QPA_PLATFORM=xcb
# A new form, whatever draft the user has.
XDG_STATE_HOME=$(mktemp -d)
export XDG_STATE_HOME
mkdir -p docs

if [[ -n $small ]]; then
  XDG_CONFIG_HOME=$(mktemp -d)
  export XDG_CONFIG_HOME QT_QPA_PLATFORMTHEME=gtk3
  mkdir -p "$XDG_CONFIG_HOME/gtk-3.0"
  printf '[Settings]\ngtk-font-name=DejaVu Sans 11\n' >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
  echo "Xft.dpi: 120" | xrdb -merge
  "$build/app/desktop/quillsmith" &
  pid=$!
  trap 'kill $pid 2>/dev/null || true' EXIT
  window=$(xdotool search --sync --onlyvisible --name '^Quillsmith$' | head -n1)
  sleep 1.5
  import -window root docs/small-screen-top.png
  # Scrolled down to the bottom row, by the bar along the right edge.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  for _ in 1 2 3; do xdotool mousemove --window "$window" $((WIDTH - 6)) $((HEIGHT - 40)) click 1; done
  xdotool mousemove 1360 760
  sleep 1
  import -window root docs/small-screen-bottom.png
  echo "window ${WIDTH}x${HEIGHT} on 1366x768: docs/small-screen-top.png, docs/small-screen-bottom.png"
  exit 0
fi

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

# The text document with a passage opened, part of it selected and the field
# menu open: docs/field-menu.png.
mapfile -t spots < <("$build/app/desktop/tab_positions" open)
read -r ox oy <<<"${spots[0]}"
read -r tx ty <<<"${spots[1]}"
passage=$(mktemp --suffix=.txt)
cat >"$passage" <<'TEXT'
Тихий маяк

Плагин добавляет на побережье к северу от Сейда Нина старый маяк,
его смотрителя и цепочку небольших заданий. Внутри маяка есть
комната, которую можно снять на время игры.

Для работы нужен только Morrowind; Tribunal и Bloodmoon не требуются.
TEXT
read -r x y <<<"${tabs[0]}"
xdotool mousemove --window "$window" "$x" "$y" click 1
xdotool mousemove --window "$window" "$ox" "$oy" click 1
xdotool search --sync --onlyvisible --pid $pid --name '.' >/dev/null
sleep 1
xdotool type --delay 10 "$passage"
xdotool key Return
sleep 1
# Select the second paragraph's first line and open the menu on it.
xdotool mousemove --window "$window" $((tx + 6)) $((ty + 40)) mousedown 1
xdotool mousemove --window "$window" $((tx + 420)) $((ty + 40)) mouseup 1
xdotool mousemove --window "$window" $((tx + 200)) $((ty + 40)) click 3
sleep 0.5
# Up to "Добавить в", the menu's last item, and open its list of fields.
xdotool key Up Right Right
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/field-menu.png
rm -f "$passage"
# The list of fields, then the menu.
for _ in 1 2; do
  xdotool key Escape
  sleep 0.4
done

# After Save: the readme's path in the box beside Сохранить, and the form
# commands along the bottom (docs/after-save.png); then New, with Вернуть
# форму ready to bring the form back (docs/new-undone.png).
mapfile -t fields < <("$build/app/desktop/tab_positions" fields)
read -r x y <<<"${tabs[1]}"
# The first click after a closed menu only ends the menu's grab.
for _ in 1 2; do
  xdotool mousemove --window "$window" "$x" "$y" click 1
  sleep 0.4
done
read -r _ _ x y <<<"${fields[0]}"
xdotool mousemove --window "$window" "$x" "$y" click 1
sleep 0.3
xdotool type --delay 10 "Маяк у Тихой заводи"
out=$(mktemp -d)
xdotool key ctrl+s
sleep 1.5
xdotool key ctrl+a
xdotool type --delay 5 "$out/ReadMe.htm"
xdotool key Return
xdotool mousemove 1270 1010
sleep 1
import -window "$window" docs/after-save.png
xdotool windowfocus --sync "$window" key ctrl+n
sleep 0.5
import -window "$window" docs/new-undone.png
rm -rf "$out"
echo "wrote docs/tab-0.png to docs/tab-$(( ${#tabs[@]} - 1 )).png, docs/field-menu.png, docs/after-save.png, docs/new-undone.png"
