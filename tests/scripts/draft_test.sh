#!/usr/bin/env bash
# The desktop program as a file manager starts it: `quillsmith FORM` opens the
# form, the draft keeps it while the program runs, and after a SIGKILL the
# next start brings it back (its own draft is written again from what came
# back, not from an empty form).
set -uo pipefail

: "${QS_BUILD_DIR:?}"
program="$QS_BUILD_DIR/app/desktop/quillsmith"
work=$(mktemp -d)
pid=""
trap '[[ -n $pid ]] && kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
export XDG_STATE_HOME="$work/state" QT_QPA_PLATFORM=offscreen
drafts() { cat "$XDG_STATE_HOME"/quillsmith/draft-*.json 2>/dev/null; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Waits up to 10 s for the draft to hold TEXT.
draft_holds() {
  for _ in $(seq 100); do
    drafts | grep -qF "$1" && return 0
    sleep 0.1
  done
  return 1
}

printf '{"pluginName": "Маяк у заводи", "database": {"authorName": "Смотритель"}}\n' >"$work/form.qsform"
"$program" "$work/form.qsform" >/dev/null 2>&1 &
pid=$!
draft_holds '"pluginName": "Маяк у заводи"' || fail "the form given on the command line did not reach the draft"
kill -9 $pid
wait $pid 2>/dev/null

rm -f "$work/form.qsform"
before=$(drafts)
"$program" >/dev/null 2>&1 &
pid=$!
sleep 2.5  # past the draft's one-second delay after start-up
kill -9 $pid
wait $pid 2>/dev/null
pid=""
draft_holds '"authorName": "Смотритель"' || fail "the killed session's form did not come back"
[[ "$(drafts)" == "$before" ]] || fail "the draft changed across the restart"

((failures == 0)) && echo "draft test: all cases passed"
exit $((failures > 0))
