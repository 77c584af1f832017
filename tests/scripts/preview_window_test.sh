#!/usr/bin/env bash
# The preview's real window under Xvfb, as root and given none of Chromium's
# flags: F5 opens it wholly on the screen (beside the main window where there
# is room, over it where there is none) at 100 % and at 150 %, the engine
# starts, Ctrl+Tab and the copy button put a text tab's text on the
# clipboard (with xclip), and killing the engine's render process leaves the
# program running.
# With QS_SHOTS=DIR, a picture of the screen at each step.
set -uo pipefail

: "${QS_BUILD_DIR:?}"
for tool in xvfb-run xdotool; do
  command -v $tool >/dev/null || { echo "SKIP: needs $tool" >&2; exit 77; }
done
[[ -f "$QS_BUILD_DIR/app/preview/quillsmith-preview.so" ]] ||
  { echo "SKIP: no preview module built (needs qt6-webengine-dev)" >&2; exit 77; }
if grep -q '^QS_SANITIZE:BOOL=ON' "$QS_BUILD_DIR/CMakeCache.txt" 2>/dev/null; then
  echo "SKIP: Chromium inside the engine is not built for AddressSanitizer" >&2; exit 77
fi
if [[ -z "${QS_IN_XVFB:-}" ]]; then
  QS_IN_XVFB=1 exec xvfb-run -a -n 160 -s "-screen 0 1600x1024x24" bash "$0" "$@"
fi
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

program="$QS_BUILD_DIR/app/desktop/quillsmith"
work=$(mktemp -d)
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
export QT_QPA_PLATFORM=xcb XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
unset QT_QPA_PLATFORMTHEME QTWEBENGINE_CHROMIUM_FLAGS QTWEBENGINE_DISABLE_SANDBOX QT_SCALE_FACTOR
pid=""
trap '[[ -n $pid ]] && kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
  tail -n 8 "$work/program.log" 2>/dev/null | sed 's/^/   program: /'
}
shot() { [[ -n "${QS_SHOTS:-}" ]] && mkdir -p "$QS_SHOTS" && import -window root "$QS_SHOTS/$1.png"; }
geometry() {  # window: X Y WIDTH HEIGHT of its frame (no window manager: the window itself)
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}
# The engine's render processes: forked by its zygote, the program's child,
# they keep the zygote's command line.
renderers() {
  for p in $(pgrep -f -- '--type=zygote'); do
    local up
    up=$(awk '{print $4}' "/proc/$p/stat" 2>/dev/null) || continue
    up=$(awk '{print $4}' "/proc/$up/stat" 2>/dev/null) || continue
    [[ $up == "$pid" ]] && echo "$p"
  done
}

# By keys alone: Ctrl+Tab to the first text tab, Tab to "Копировать", Space.
# The clipboard then holds what the program put there, not what was before.
copy_by_keys() {  # window
  if ! command -v xclip >/dev/null; then
    echo "skipped: the copy by keys (no xclip)"
    return
  fi
  local before="not copied $RANDOM"
  printf '%s' "$before" | xclip -i -selection clipboard
  xdotool windowfocus --sync "$1"
  xdotool key ctrl+Tab
  sleep 0.3
  xdotool key Tab space
  sleep 0.5
  local after
  after=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
  [[ $after != "$before" ]] || fail "Ctrl+Tab, Tab and Space in the preview copied nothing"
  shot copied
}

# One start: the main window moved to MAIN_X, F5, and where the preview went.
run() {  # name scale main_x expect(beside|over)
  local name=$1 scale=$2 main_x=$3 expect=$4
  QT_SCALE_FACTOR=$scale "$program" >"$work/program.log" 2>&1 &
  pid=$!
  local main
  main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quillsmith$' | head -n1)
  [[ -n $main ]] || { fail "$name: no main window"; return; }
  xdotool windowmove "$main" "$main_x" 30
  sleep 0.5
  xdotool windowfocus --sync "$main" key F5
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Предпросмотр$' | head -n1)
  [[ -n $window ]] || { fail "$name: F5 opened no preview"; kill -9 $pid; pid=""; return; }
  sleep 4  # the engine's first page
  kill -0 $pid 2>/dev/null || { fail "$name: the program ended once the preview opened"; pid=""; return; }
  read -r mx my mw mh < <(geometry "$main")
  read -r px py pw ph < <(geometry "$window")
  echo "$name: main $mx,$my ${mw}x$mh; preview $px,$py ${pw}x$ph"
  ((px >= 0 && py >= 0 && px + pw <= 1600 && py + ph <= 1024)) || fail "$name: the preview is not wholly on the screen"
  local apart=0
  ((px >= mx + mw || px + pw <= mx)) && apart=1
  [[ $expect == beside && $apart == 0 ]] && fail "$name: the preview is over the main window though there is room"
  [[ $expect == over && $apart == 1 ]] && fail "$name: the preview is beside the main window, where there is no room"
  shot "$name"
  [[ -n $(renderers) ]] || fail "$name: no render process of the engine"
  if [[ $name == 100-beside ]]; then
    copy_by_keys "$window"
    kill -9 $(renderers) 2>/dev/null
    sleep 2
    kill -0 $pid 2>/dev/null || { fail "$name: the program ended with the engine's process"; pid=""; return; }
    xdotool search --onlyvisible --name '^Предпросмотр$' >/dev/null || fail "$name: the preview went with the engine"
    shot "$name-killed"
  fi
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null
  pid=""
}

run 100-beside 1 0 beside
run 100-over 1 407 over
run 150-over 1.5 200 over

((failures == 0)) || { echo "$failures failure(s)"; exit 1; }
echo "preview window: on the screen at 100 % and 150 %, the engine as root, its process killed"
