#!/usr/bin/env bash
# Renders the example form (with three screenshots made here) through
# quillsmith-render and opens the readme in Debian's headless Chromium,
# checking what a reader sees. Keeps the page's picture in the build folder;
# with QS_UPDATE_DOCS=1 also in docs/ for the README.
set -euo pipefail
src=${QS_SOURCE_DIR:?}
build=${QS_BUILD_DIR:?}

# tools/install-deps installs Chromium, Node.js and the one npm package.
if ! command -v node >/dev/null || (( $(node -p 'process.versions.node.split(".")[0]') < 20 )) ||
   [[ ! -d "$src/tests/browser/node_modules/playwright-core" ]]; then
  echo "SKIP: needs Node.js 20 or newer with tests/browser's package (tools/install-deps)" >&2
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/shots" "$work/out"
colours=('#4a6b8a' '#8a5a3a' '#2f4f3f')
for i in 1 2 3; do
  /usr/bin/convert -size 300x225 "gradient:${colours[$((i-1))]}-#101010" \
    -font DejaVu-Sans -gravity center -pointsize 40 -fill white -annotate 0 "Скриншот $i" "$work/shots/shot $i.jpg"
done

# The example form, with its screenshots swapped for the ones made above.
node -e '
  const fs = require("fs");
  const [from, to, dir] = process.argv.slice(1);
  const form = JSON.parse(fs.readFileSync(from, "utf8"));
  form.screenshotPath = [1, 2, 3].map((i) => `${dir}/shot ${i}.jpg`);
  fs.writeFileSync(to, JSON.stringify(form, null, 2));
' "$src/examples/example-form.json" "$work/form.json" "$work/shots"

"$build/app/render/quillsmith-render" --form "$work/form.json" --output "$work/out/ReadMe.htm"

headings="Маяк у Тихой заводи|Требует|Скриншоты|Установка|Удаление|Как играть|Авторы|Примечание|Предупреждение|Предупреждение"
node "$src/tests/browser/readme_check.mjs" "$work/out/ReadMe.htm" "$work/page.png" "$headings" 3
/usr/bin/convert "$work/page.png" -resize '1000x>' "$build/readme-in-browser.png"
if [[ "${QS_UPDATE_DOCS:-}" == 1 ]]; then cp "$build/readme-in-browser.png" "$src/docs/"; fi
