#!/usr/bin/env bash
# A user's session in a real window under Xvfb, driven by xdotool: typing
# (Cyrillic, a line break, a check box) on two pages, a SIGKILL, a restart
# that brings every value back, Save Form, and the renderer's readme from that
# form against the window's own Save, byte for byte.
set -uo pipefail

: "${QS_BUILD_DIR:?}"
for tool in xvfb-run xdotool; do
  command -v $tool >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
if [[ -z "${QS_IN_XVFB:-}" ]]; then
  # A server of this range still going away would take the new one's socket with it.
  for _ in $(seq 50); do pgrep -f '^Xvfb :14[0-9] ' >/dev/null || break; sleep 0.1; done
  QS_IN_XVFB=1 exec xvfb-run -a -n 140 -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

program="$QS_BUILD_DIR/app/desktop/quillsmith"
work=$(mktemp -d)
pid=""
trap '[[ -n $pid ]] && kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
export XDG_STATE_HOME="$work/state" QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

declare -A at tab_of
while read -r name tab x y; do
  at[$name]="$x $y"
  tab_of[$name]=$tab
done < <("$QS_BUILD_DIR/app/desktop/tab_positions" fields 2>/dev/null)
mapfile -t tabs < <("$QS_BUILD_DIR/app/desktop/tab_positions" 2>/dev/null)

start() {
  "$program" >"$work/program.log" 2>&1 &
  pid=$!
  # The title names the form once one is back.
  window=$(xdotool search --sync --onlyvisible --pid $pid --name 'Quillsmith$' | head -n1)
  xdotool windowfocus --sync "$window"
  sleep 1
}
click() {  # x y
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.2
}
field() {  # name: its tab, then the field
  read -r x y <<<"${tabs[${tab_of[$1]}]}"
  click "$x" "$y"
  read -r x y <<<"${at[$1]}"
  click "$x" "$y"
}
# Answers the file dialog that KEYS open with PATH.
answer_dialog() {  # path keys...
  local path=$1
  shift
  xdotool windowfocus --sync "$window"
  xdotool key "$@"
  for _ in $(seq 50); do
    dialog=$(xdotool getactivewindow 2>/dev/null)
    [[ -n $dialog && $dialog != "$window" ]] && break
    sleep 0.1
  done
  sleep 0.5
  xdotool key ctrl+a
  xdotool type --delay 5 "$path"
  xdotool key Return
  sleep 1
  [[ -n ${QS_TYPING_SHOTS:-} ]] && /usr/bin/import -window root "$QS_TYPING_SHOTS-$(date +%s%N).png"
  return 0
}

# Fills one field and waits for the draft to hold it. A click or keys sent
# while the window is still busy (a loaded machine) can be lost, so a field
# the draft does not show within 3 s is filled again from empty.
fill() {  # field, what the draft then holds, keys as for xdotool ("type:TEXT" or key names)
  local name=$1 expected=$2
  shift 2
  for _ in 1 2 3; do
    field "$name"
    xdotool key ctrl+a
    for step in "$@"; do
      if [[ $step == type:* ]]; then xdotool type --delay 20 "${step#type:}"; else xdotool key "$step"; fi
    done
    for _ in $(seq 30); do
      drafts | grep -qF "$expected" && return 0
      sleep 0.1
    done
  done
  fail "the draft never held $expected"
}
drafts() { cat "$XDG_STATE_HOME"/quillsmith/draft-*.json 2>/dev/null; }

start
fill name '"pluginName": "Маяк у заводи «Ночь»"' "type:Маяк у заводи «Ночь»"
fill file '"pluginFile": "Lighthouse.esp"' "type:Lighthouse.esp"
fill description '"description": "Первая строка\r\nВторая <b>строка</b> & ещё"' \
  "type:Первая строка" Return "type:Вторая <b>строка</b> & ещё"
for _ in 1 2 3; do
  drafts | grep -qF '"requiresTribunal": true' && break
  field tribunal
  sleep 1.5
done
fill authors '"authors": "Ильмар Северянин"' "type:Ильмар Северянин"
kill -9 $pid
wait $pid 2>/dev/null

start
answer_dialog "$work/restored.qsform" ctrl+shift+s
form="$work/restored.qsform"
[[ -f $form ]] || fail "Save Form wrote no file"
for value in '"pluginName": "Маяк у заводи «Ночь»"' '"pluginFile": "Lighthouse.esp"' \
  '"description": "Первая строка\r\nВторая <b>строка</b> & ещё"' '"requiresTribunal": true' \
  '"authors": "Ильмар Северянин"'; do
  grep -qF "$value" "$form" 2>/dev/null || { fail "not back after the SIGKILL: $value"; head -c 600 "$form"; }
done

mkdir -p "$work/window" "$work/render"
answer_dialog "$work/window/ReadMe.htm" ctrl+s
kill $pid
wait $pid 2>/dev/null
pid=""
[[ -f "$work/window/ReadMe.htm" ]] || fail "the window's Save wrote no readme"
"$QS_BUILD_DIR/app/render/quillsmith-render" --form "$form" --output "$work/render/ReadMe.htm" >/dev/null ||
  fail "the renderer refused the saved form"
cmp "$work/window/ReadMe.htm" "$work/render/ReadMe.htm" ||
  fail "the renderer's readme from the saved form differs from the window's"

((failures == 0)) && echo "typing test: every typed value came back and both readmes are the same bytes"
exit $((failures > 0))
