#!/usr/bin/env bash
# The Markdown as a real CommonMark implementation (Debian's cmark) renders
# it shows, section by section, the same text as the readme in Chromium, for
# a table of forms: the example, one typed full of what Markdown would take
# as markup, and one with only the sections always written.
set -euo pipefail
src=${QS_SOURCE_DIR:?}
build=${QS_BUILD_DIR:?}

if ! command -v cmark >/dev/null; then
  echo "SKIP: needs cmark (tools/install-deps)" >&2
  exit 77
fi
if ! command -v node >/dev/null || [[ ! -d "$src/tests/browser/node_modules/playwright-core" ]]; then
  echo "SKIP: needs Node.js with tests/browser's package (tools/install-deps)" >&2
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
node -e '
  const fs = require("fs");
  const [from, dir] = process.argv.slice(1);
  const example = JSON.parse(fs.readFileSync(from, "utf8"));
  const marked = Object.assign({}, example, {
    pluginName: "# *Маяк* _у_ `заводи`",
    description: "1. не список\r\n- и это\r\n> не цитата\r\n\r\n*звёзды* _черты_ [скобки](x) <b>жирно</b> &amp; \\\\ !",
    authors: "Смотритель <i>и</i> ___ ### + = ~ |",
    requiresOther: true, otherRequirements: "<a href=\"https://mods.example.org/\">сайт</a> & <br>всё",
  });
  const minimal = { pluginName: "Пусто", requiresMorrowind: false, installStandard: false,
                    uninstallStandard: false, warningStandard: false };
  for (const [name, form] of Object.entries({ example, marked, minimal }))
    fs.writeFileSync(`${dir}/${name}.json`, JSON.stringify(form, null, 2));
' "$src/examples/example-form.json" "$work"

failures=0
for name in example marked minimal; do
  mkdir -p "$work/$name"
  "$build/app/render/quillsmith-render" --form "$work/$name.json" --output "$work/$name/ReadMe.htm" 2>/dev/null || true
  "$build/app/render/quillsmith-render" --form "$work/$name.json" --output "$work/$name/readme.md" --format md
  { printf '<!DOCTYPE html><meta charset="utf-8"><body>'; cmark "$work/$name/readme.md"; } >"$work/$name/md.html"
  if ! node "$src/tests/browser/markdown_check.mjs" "$work/$name/ReadMe.htm" "$work/$name/md.html"; then
    echo "FAIL: $name: the Markdown does not read as the readme" >&2
    failures=$((failures + 1))
  fi
done
((failures == 0)) && echo "markdown test: cmark's page reads as the readme, section by section, for every form"
