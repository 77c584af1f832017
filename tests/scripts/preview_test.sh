#!/usr/bin/env bash
# The preview in the browser engine, under Xvfb: its visible text equals that
# of the saved readme opened in Chromium, every picture loads (page, title
# row, headings, each screenshot), typing reaches the page, and neither the
# form's folders nor the temporary folder change. Then the renderer's
# --preview-png: the whole page as a PNG, and the engine left alone without
# the option. With QS_UPDATE_DOCS=1, docs/preview.png: the form beside its
# preview.
set -euo pipefail
src=${QS_SOURCE_DIR:?}
build=${QS_BUILD_DIR:?}
render="$build/app/render/quillsmith-render"
module="$build/app/preview/quillsmith-preview.so"

[[ -f "$module" ]] || { echo "SKIP: no preview module built (needs qt6-webengine-dev)" >&2; exit 77; }
[[ -x "$build/tests/ui_tests" ]] || { echo "SKIP: no ui_tests built" >&2; exit 77; }
command -v xvfb-run >/dev/null || { echo "SKIP: needs xvfb-run" >&2; exit 77; }
if grep -q '^QS_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  echo "SKIP: Chromium inside the engine is not built for AddressSanitizer" >&2; exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/shots" "$work/form" "$work/out" "$work/dump" "$work/tmp" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
colours=('#4a6b8a' '#8a5a3a' '#2f4f3f')
for i in 1 2 3; do
  /usr/bin/convert -size 300x225 "gradient:${colours[$((i-1))]}-#101010" \
    -font DejaVu-Sans -gravity center -pointsize 40 -fill white -annotate 0 "Скриншот $i" "$work/shots/снимок $i.jpg"
done
# The example form with the screenshots above, by absolute paths.
python3 - "$src/examples/example-form.json" "$work/form/form.qsform" "$work/shots" <<'EOF'
import json, sys
source, target, shots = sys.argv[1:]
form = json.load(open(source, encoding="utf-8"))
form["screenshotPath"] = [f"{shots}/снимок {i}.jpg" for i in (1, 2, 3)]
json.dump(form, open(target, "w", encoding="utf-8"), ensure_ascii=False, indent=2)
EOF

# What the preview must leave as it is.
# (The test program's own state folder comes and goes in TMPDIR; what stays
# there is the preview's.)
state() { find "$work/shots" "$work/form" -printf '%p %s %T@\n' | sort; }
before=$(state)

# As root the engine runs without Chromium's sandbox; the temporary and
# runtime folders are ours, to see that nothing lands there.
run_env=(env QT_QPA_PLATFORM=xcb QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu"
         TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home")
xvfb-run -a -n 120 -s "-screen 0 1600x1024x24" "${run_env[@]}" QS_PREVIEW_DUMP="$work/dump" \
  QS_PREVIEW_FORM="$work/form/form.qsform" "$build/tests/ui_tests" \
  --gtest_filter=PreviewWithEngine.WritesWhatItShowsForTheBrowserComparison >"$work/ui.log" 2>&1 ||
  { cat "$work/ui.log" >&2; exit 1; }
grep -q '\[  PASSED  \] 1 test' "$work/ui.log" || { cat "$work/ui.log" >&2; echo "the preview test did not run" >&2; exit 1; }

after=$(state)
if [[ "$before" != "$after" ]]; then
  echo "the preview changed files it must not touch:" >&2
  diff <(echo "$before") <(echo "$after") >&2 || true
  exit 1
fi
leftovers=$(find "$work/tmp" -mindepth 1 | head -5)
[[ -z "$leftovers" ]] || { echo "the preview left files in TMPDIR: $leftovers" >&2; exit 1; }

# Every picture loads: the page's background, the title row's, the headings'
# and the three screenshots.
pictures=$(cat "$work/dump/pictures.txt")
count=$(grep -c . <<<"$pictures")
[[ $count -eq 6 ]] || { echo "expected 6 pictures, found $count:" >&2; echo "$pictures" >&2; exit 1; }
if grep -E ' 0$' <<<"$pictures" >&2; then echo "these pictures do not load in the preview" >&2; exit 1; fi
typing=$(cat "$work/dump/typing-ms.txt")
echo "preview: 6 pictures load; typing reached the page in $typing ms"
((typing < 2000)) || { echo "typing took $typing ms to reach the preview" >&2; exit 1; }

# The saved readme in Chromium reads the same.
"$render" --form "$work/form/form.qsform" --output "$work/out/ReadMe.htm"
if command -v node >/dev/null && [[ -d "$src/tests/browser/node_modules/playwright-core" ]]; then
  (cd "$src/tests/browser" && node --input-type=module - "$work/out/ReadMe.htm" "$work/chromium.txt") <<'EOF'
import { chromium } from 'playwright-core';
import { pathToFileURL } from 'node:url';
import { writeFileSync } from 'node:fs';
const [readme, out] = process.argv.slice(2);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'] });
const page = await browser.newPage({ viewport: { width: 1000, height: 800 } });
await page.goto(pathToFileURL(readme).href, { waitUntil: 'load' });
writeFileSync(out, await page.evaluate(() => document.body.innerText));
await browser.close();
EOF
  if ! cmp -s "$work/dump/preview.txt" "$work/chromium.txt"; then
    echo "the preview's text differs from the saved readme's in Chromium:" >&2
    diff "$work/dump/preview.txt" "$work/chromium.txt" >&2 || true
    exit 1
  fi
  echo "preview: the visible text equals the saved readme's in Chromium ($(wc -c <"$work/chromium.txt") bytes)"
else
  echo "SKIP: needs Node.js with tests/browser's package for the Chromium comparison (tools/install-deps)" >&2
  exit 77
fi

# The renderer's picture: the whole page, by the same engine, with no
# display at all.
mkdir -p "$work/out2"
env -u DISPLAY "${run_env[@]:1}" "$render" --form "$work/form/form.qsform" --output "$work/out2/ReadMe.htm" \
  --preview-png "$work/page.png" 2>"$work/png.log" || { cat "$work/png.log" >&2; exit 1; }
read -r width height < <(/usr/bin/identify -format '%w %h\n' "$work/page.png")
echo "--preview-png: ${width} x ${height}"
((width == 1000 && height > 1000)) || { echo "the page's picture is ${width} x ${height}" >&2; exit 1; }
"$render" --help | grep -q -- '--preview-png' || { echo "--help does not list --preview-png" >&2; exit 1; }
# Without the option the engine's module is never opened.
if LD_DEBUG=files "$render" --form "$work/form/form.qsform" --output "$work/out2/ReadMe.htm" 2>&1 |
   grep -q quillsmith-preview; then
  echo "the renderer loaded the preview module without --preview-png" >&2; exit 1
fi
# A missing module: the readme is still written, and one line says why.
rm -f "$work/out2/ReadMe.htm"
status=0
QUILLSMITH_PREVIEW_MODULE=/nonexistent/quillsmith-preview.so "$render" --form "$work/form/form.qsform" \
  --output "$work/out2/ReadMe.htm" --preview-png "$work/none.png" 2>"$work/missing.log" || status=$?
[[ $status -eq 1 && -f "$work/out2/ReadMe.htm" && ! -e "$work/none.png" ]] &&
  grep -q -- '--preview-png: no preview module' "$work/missing.log" ||
  { echo "a missing module: status $status" >&2; cat "$work/missing.log" >&2; exit 1; }

# The README's picture: the program with the form on its first form tab,
# the preview opened with a click on its button, and the screen.
if [[ "${QS_UPDATE_DOCS:-}" == 1 ]]; then
  xvfb-run -a -n 130 -s "-screen 0 1640x900x24" "${run_env[@]}" XDG_STATE_HOME="$work/state" bash -c '
    mapfile -t tabs < <("$1/app/desktop/tab_positions")
    "$1/app/desktop/quillsmith" "$2" & pid=$!
    window=$(xdotool search --sync --onlyvisible --name "^Quillsmith$" | head -n1)
    sleep 1
    xdotool windowmove "$window" 0 0
    sleep 0.3
    read -r x y <<<"${tabs[1]}"
    xdotool mousemove --window "$window" "$x" "$y" click 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --window "$window" $((WIDTH - 50)) $((HEIGHT - 18)) click 1
    sleep 4
    xdotool mousemove 1630 890
    import -window root "$3"
    kill $pid' _ "$build" "$work/form/form.qsform" "$work/screen.png"
  /usr/bin/convert "$work/screen.png" -trim +repage "$src/docs/preview.png"
  echo "docs/preview.png written"
fi
