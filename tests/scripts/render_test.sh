#!/usr/bin/env bash
# quillsmith-render end to end: the example as its README runs it, the exit
# statuses, Save's messages on standard error in UTF-8, and bad form files.
set -uo pipefail

: "${QS_BUILD_DIR:?}" "${QS_SOURCE_DIR:?}"
render="$QS_BUILD_DIR/app/render/quillsmith-render"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
cp1251() { printf '%s' "$1" | iconv -f UTF-8 -t CP1251; }

# Runs the renderer; leaves the status in $status and standard error in $err.
run() {
  "$render" "$@" >"$work/stdout" 2>"$work/stderr"
  status=$?
  err=$(cat "$work/stderr")
}
expect() {  # expect STATUS STDERR-TEXT WHAT
  [[ $status == "$1" ]] || fail "$3: status $status, expected $1 (stderr: $err)"
  [[ "$err" == "$2" ]] || fail "$3: stderr '$err', expected '$2'"
}
expect_error() {  # expect_error NEEDLE WHAT: status 2 and a message holding NEEDLE
  [[ $status == 2 ]] || fail "$2: status $status, expected 2"
  [[ "$err" == *"$1"* ]] || fail "$2: stderr '$err' does not name '$1'"
}

# --- the example, as examples/README.md runs it from the repository root ---
cp -r "$QS_SOURCE_DIR/examples" "$work/examples"
rm -rf "$work/examples/out"
(cd "$work" && mkdir -p examples/out &&
  "$render" --form examples/example-form.json --output examples/out/ReadMe.htm) 2>"$work/stderr"
status=$? err=$(cat "$work/stderr")
expect 0 "" "example"
out="$work/examples/out"
expected_files="QuietLighthouse.zip.sql
ReadMe.htm
files/images/img_bk_0.jpg
files/images/img_bk_1.jpg
files/images/img_bk_2.jpg
files/scrins/keeper-room.jpg
files/scrins/lighthouse-outside.jpg
files/scrins/night-view.jpg"
[[ "$(cd "$out" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)" == "$expected_files" ]] ||
  fail "example: files are $(cd "$out" && find . -type f | LC_ALL=C sort)"
for shot in lighthouse-outside keeper-room night-view; do
  cmp -s "$out/files/scrins/$shot.jpg" "$work/examples/screenshots/$shot.jpg" || fail "example: $shot.jpg differs"
  grep -qF "files/scrins/$shot.jpg" "$out/ReadMe.htm" || fail "example: the readme does not show $shot.jpg"
done
for text in "Маяк у Тихой заводи" "Ильмар Северянин" "Не сохраняйтесь в подвале маяка во время грозы."; do
  grep -qF "$(cp1251 "$text")" "$out/ReadMe.htm" || fail "example: '$text' not in the readme as Windows-1251"
done
grep -qF "$(cp1251 '"Маяк у Тихой заводи",')" "$out/QuietLighthouse.zip.sql" || fail "example: record lacks the name"
[[ "$(head -c 28 "$out/QuietLighthouse.zip.sql")" == "INSERT INTO plugs VALUES ("$'\r' ]] ||
  fail "example: record head"

# --- a readme read back: its form renders the same readme and record ------
mkdir -p "$work/back/new" "$work/back/none"
run --from-readme "$out/ReadMe.htm" --write-form "$work/back/back.qsform"
expect 0 "" "--from-readme"
(cd "$work/back" && "$render" --form back.qsform --output new/ReadMe.htm) 2>"$work/stderr" || fail "read-back form: $(cat "$work/stderr")"
for file in ReadMe.htm QuietLighthouse.zip.sql files/scrins/night-view.jpg; do
  cmp -s "$out/$file" "$work/back/new/$file" || fail "--from-readme: $file differs"
done
printf 'just text' >"$work/back/ReadMe.htm"
run --from-readme "$work/back/ReadMe.htm" --write-form "$work/back/none/f.qsform" --output "$work/back/none/ReadMe.htm"
expect_error "не похоже на ReadMe, созданный Quillsmith: это не HTML-страница" "--from-readme of a text file"
[[ -z "$(ls -A "$work/back/none")" ]] || fail "--from-readme of a text file: something was written"

# --- a fresh form: both options on, no screenshots, no record --------------
mkdir -p "$work/fresh"
echo '{}' >"$work/empty.json"
run --form "$work/empty.json" --output "$work/fresh/ReadMe.htm"
expect 0 "" "empty form"
[[ -d "$work/fresh/files/scrins" && -f "$work/fresh/files/images/img_bk_2.jpg" ]] || fail "empty form: folders"
[[ -z "$(ls "$work/fresh/files/scrins")" ]] || fail "empty form: screenshots copied"

# A bare output name is the current folder, not the root.
mkdir -p "$work/bare"
(cd "$work/bare" && "$render" --form "$work/empty.json" --output=ReadMe.htm) || fail "bare name: status $?"
[[ -f "$work/bare/ReadMe.htm" && -f "$work/bare/files/images/img_bk_0.jpg" ]] || fail "bare name: not in the current folder"

# --- Save's messages: status 1, one UTF-8 line each ------------------------
mkdir -p "$work/msg"
cat >"$work/missing.json" <<EOF
{"screenshotCount": 2, "screenshotPath": ["$work/nowhere/a.jpg", "$work/examples/screenshots/night-view.jpg", ""],
 "database": {"recordWanted": true, "archiveSize": "10", "archiveName": "mod.zip"}}
EOF
run --form "$work/missing.json" --output "$work/msg/ReadMe.htm"
expect 1 "Ошибка открытия файла скриншота 1" "missing screenshot"
[[ -f "$work/msg/files/scrins/night-view.jpg" && -f "$work/msg/mod.zip.sql" ]] ||
  fail "missing screenshot: the rest was not written"

mkdir -p "$work/refused"
echo '{"database": {"recordWanted": true, "archiveName": "mod.zip"}}' >"$work/nosize.json"
run --form "$work/nosize.json" --output "$work/refused/ReadMe.htm"
expect 1 "Не указан размер архива." "record without size"
[[ -z "$(ls -A "$work/refused")" ]] || fail "record without size: something was written"

echo '{"database": {"recordWanted": true, "archiveSize": "12 KB"}}' >"$work/badsize.json"
run --form "$work/badsize.json" --output "$work/refused/ReadMe.htm"
expect 1 "Размер архива должен состоять только из цифр." "record with a bad size"

run --form "$work/empty.json" --output "$work/not-there/ReadMe.htm"
expect 1 "Ошибка открытия файла для записи" "missing output folder"

mkdir -p "$work/two/files/images/img_bk_1.jpg"
cat >"$work/two.json" <<EOF
{"screenshotCount": 1, "screenshotPath": ["$work/examples/screenshots/keeper-room.jpg", "", ""]}
EOF
run --form "$work/two.json" --output "$work/two/ReadMe.htm"
expect 1 "Ошибка открытия файла img_bk_1.jpg" "blocked picture"
[[ ! -e "$work/two/files/scrins" ]] || fail "blocked picture: the command went on to the screenshots"
rm -rf "$work/two/files/images/img_bk_1.jpg"
mkdir -p "$work/two/files/scrins/keeper-room.jpg"
run --form "$work/two.json" --output "$work/two/ReadMe.htm"
expect 1 "Ошибка открытия файла для записи скриншота 1" "blocked screenshot copy"

# --- usage errors and bad form files: status 2, nothing written ------------
mkdir -p "$work/bad"
run
expect_error "--form is missing" "no arguments"
run --form "$work/empty.json"
expect_error "--output is missing" "no output"
run --form "$work/empty.json" --output "$work/bad/ReadMe.htm" --verbose
expect_error "unknown argument" "unknown argument"
run --form "$work/empty.json" --form "$work/empty.json" --output "$work/bad/ReadMe.htm"
expect_error "given twice" "repeated option"
run --form "$work/none.json" --output "$work/bad/ReadMe.htm"
expect_error "cannot read" "missing form file"
run --form "$work" --output "$work/bad/ReadMe.htm"
expect_error "cannot read" "form file that is a folder"

printf '{\n  "pluginName": "x",\n  "note": oops\n}\n' >"$work/syntax.json"
run --form "$work/syntax.json" --output "$work/bad/ReadMe.htm"
expect_error "строка 3, символ 11: неизвестное слово" "syntax error"
echo '{"database": {"grade": [0, 0, 0]}}' >"$work/unknown.json"
run --form "$work/unknown.json" --output "$work/bad/ReadMe.htm"
expect_error '"database.grade"' "unknown key"
echo '{"screenshotCount": "3"}' >"$work/type.json"
run --form "$work/type.json" --output "$work/bad/ReadMe.htm"
expect_error '"screenshotCount"' "wrong type"
[[ -z "$(ls -A "$work/bad")" ]] || fail "bad form files: something was written"

# --- the preview's checks: standard output, one UTF-8 line each, status 3 -
mkdir -p "$work/checks/out" "$work/checks/here"
# A PNG's head at the recommended 300 x 225, which the checks take as it is.
shot() { printf '\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x01\x2c\0\0\0\xe1\x08\x02\0\0\0' >"$1"; }
shot "$work/checks/out/beside-readme.jpg"
shot "$work/checks/here/in-current.jpg"
cat >"$work/checks.json" <<'EOF2'
{"pluginName": "Маяк", "description": "Два\r\nслова <b>жирно",
 "screenshotCount": 2, "screenshotPath": ["beside-readme.jpg", "in-current.jpg", ""],
 "writeBackgroundImages": false,
 "database": {"recordWanted": true, "archiveSize": "10", "archiveName": "mod.zip"}}
EOF2
# Without --output the names are taken in the current folder, and nothing is written.
(cd "$work/checks/here" && "$render" --form "$work/checks.json" --check) >"$work/stdout" 2>"$work/stderr"
status=$? err=$(cat "$work/stderr")
expect 3 "" "checks alone"
[[ "$(cat "$work/stdout")" == "Имя файла: пусто, в readme будет пустое место
Описание: тег <b> открыт и не закрыт
Описание: одиночный перевод строки станет пробелом и строки сольются; абзац отделяйте пустой строкой
Скриншот 1: файл не открывается
Архив для записи: файл не найден" ]] || fail "checks alone: standard output was '$(cat "$work/stdout")'"
[[ "$(ls -A "$work/checks/here")" == in-current.jpg ]] || fail "checks alone: something was written"

# With --output: written first, then checked against the readme's folder.
(cd "$work/checks/here" && "$render" --form "$work/checks.json" --output "$work/checks/out/ReadMe.htm" --check) \
  >"$work/stdout" 2>"$work/stderr"
status=$? err=$(cat "$work/stderr")
[[ "$(cat "$work/stdout")" == *"Скриншот 2: файл не открывается"* && "$(cat "$work/stdout")" != *"Скриншот 1"* ]] ||
  fail "checks with output: not against the readme's folder: '$(cat "$work/stdout")'"
[[ -f "$work/checks/out/ReadMe.htm" && -f "$work/checks/out/mod.zip.sql" ]] || fail "checks with output: not written"
# Save's own message wins the status; the checks are printed all the same.
expect 1 "Ошибка открытия файла скриншота 2" "checks with output and a message"
: >"$work/checks/out/mod.zip"
shot "$work/checks/out/in-current.jpg"
echo '{"pluginName": "Маяк", "pluginFile": "Mayak.esp", "description": "Одно слово", "screenshotCount": 2,
 "screenshotPath": ["beside-readme.jpg", "in-current.jpg", ""], "writeBackgroundImages": false,
 "database": {"recordWanted": true, "archiveSize": "10", "archiveName": "mod.zip"}}' >"$work/clean.json"
run --form "$work/clean.json" --output "$work/checks/out/ReadMe.htm" --check
expect 0 "" "checks with output, none found"
[[ ! -s "$work/stdout" && -f "$work/checks/out/files/scrins/in-current.jpg" ]] ||
  fail "checks with output, none found: stdout '$(cat "$work/stdout")' or the copies"
run --form "$work/checks.json" --output "$work/checks/out/ReadMe.htm"
[[ ! -s "$work/stdout" ]] || fail "no --check: checks printed"

# A value outside its list is the form file's fault: status 2, no check, nothing written.
mkdir -p "$work/range"
while IFS='|' read -r bad named; do
  echo "$bad" >"$work/range.json"
  run --form "$work/range.json" --output "$work/range/ReadMe.htm" --check
  expect_error "$named" "range: $bad"
  [[ ! -s "$work/stdout" ]] || fail "range: $bad: checks printed"
done <<'EOF2'
{"screenshotCount": 4}|значение "screenshotCount" должно быть целым числом от -1 до 3
{"database": {"categoryIndex": 14}}|значение "database.categoryIndex" должно быть целым числом от -1 до 13
{"database": {"grades": [0, 3, 0]}}|значение "database.grades" должно быть массивом из 3 целых чисел от 0 до 2
EOF2
[[ -z "$(ls -A "$work/range")" ]] || fail "range: something was written"
run --form "$work/empty.json" --check --check
expect_error "--check given twice" "repeated --check"
run --form "$work/empty.json" --check --preview-png "$work/range/p.png"
expect_error "--preview-png needs --output" "picture without a readme"

# --- names outside Windows-1251 are names: on disk as given, in the readme
# and the record as "&#N;" references ---------------------------------------
mkdir -p "$work/Téléchargements 日本" "$work/shots"
printf 'pixels' >"$work/shots/café 日本.jpg"
cat >"$work/names.json" <<JSON
{"screenshotCount": 1, "copyScreenshots": true,
 "screenshotPath": ["$work/shots/café 日本.jpg", "", ""],
 "database": {"recordWanted": true, "archiveName": "Остров café.zip", "archiveSize": "6"}}
JSON
run --form "$work/names.json" --output "$work/Téléchargements 日本/ReadMe 日本.htm"
expect 0 "" "names outside Windows-1251"
named="$work/Téléchargements 日本"
[[ -f "$named/ReadMe 日本.htm" ]] || fail "names: the readme is not under its own name"
[[ "$(cat "$named/files/scrins/café 日本.jpg" 2>/dev/null)" == pixels ]] || fail "names: no screenshot copy under its own name"
grep -qF 'src="files/scrins/caf&#233; &#26085;&#26412;.jpg"' "$named/ReadMe 日本.htm" ||
  fail "names: the readme does not refer to the copy by its converted name"
grep -qF "\"$(cp1251 "Остров")"' caf&#233;.zip"' "$named/Остров café.zip.sql" ||
  fail "names: the record file or its archive line"

# --- the plug-in's header fills the form: --plugin, --write-form ----------
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
padded() { printf '%s' "$1"; head -c $(($2 - $(printf '%s' "$1" | wc -c))) /dev/zero; }
# plugin FILE AUTHOR DESCRIPTION MASTER...: a TES3 header as the game writes it
plugin() {
  local file=$1 author=$2 description=$3 body="$work/body.$$"
  shift 3
  {
    printf 'HEDR'; le32 300; printf '\x9a\x99\x99\x3f'; le32 0
    padded "$author" 32; padded "$description" 256; le32 0
    for master in "$@"; do
      printf 'MAST'; le32 $((${#master} + 1)); printf '%s\0' "$master"
      printf 'DATA'; le32 8; le32 1000; le32 0
    done
  } >"$body"
  { printf 'TES3'; le32 "$(stat -c %s "$body")"; le32 0; le32 0; cat "$body"; printf 'NEXT'; } >"$file"
  rm -f "$body"
}
mkdir -p "$work/plug/out"
plugin "$work/plug/Mod.esp" "$(cp1251 'Анна')" "Header text" Morrowind.esm tribunal.ESM Tamriel_Data.esm
printf 'BSA' >"$work/plug/MOD.bsa"
(cd "$work/plug" && "$render" --plugin Mod.esp --write-form filled.qsform --check) >"$work/stdout" 2>"$work/stderr"
status=$? err=$(cat "$work/stderr")
expect 3 "" "--plugin on a new form"
filled=$(cat "$work/plug/filled.qsform" 2>/dev/null)
for want in '"pluginFile": "Mod.esp"' '"requiresTribunal": true' '"requiresBloodmoon": false' \
  '"requiresBsaArchive": true' '"otherRequirements": "Tamriel_Data.esm"' '"description": "Header text"' \
  '"authors": "Анна"' '"authorName": "Анна"' "\"pluginPath\": \"$work/plug/Mod.esp\""; do
  [[ "$filled" == *"$want"* ]] || fail "--plugin: the form lacks $want"
done
grep -q "Mod.esp\|Tribunal" "$work/stdout" && fail "--plugin: a check of what the header filled: $(cat "$work/stdout")"

# A form's typed text stays; the header's masters reach the readme.
printf '{"description": "Typed", "requiresBloodmoon": true}' >"$work/plug/typed.json"
run --form "$work/plug/typed.json" --plugin "$work/plug/Mod.esp" --output "$work/plug/out/ReadMe.htm"
expect 0 "" "--form with --plugin"
grep -qF "Typed" "$work/plug/out/ReadMe.htm" && grep -qF "Tamriel_Data.esm" "$work/plug/out/ReadMe.htm" &&
  ! grep -qF "Header text" "$work/plug/out/ReadMe.htm" || fail "--form with --plugin: the readme"

# --write-form alone writes the form as read.
run --form "$work/plug/filled.qsform" --write-form "$work/plug/again.qsform"
expect 0 "" "--write-form with --form alone"
cmp -s "$work/plug/filled.qsform" "$work/plug/again.qsform" || fail "--write-form: the form changed on its way"

# The checks read the header again: what the form no longer names.
sed -e 's/"requiresTribunal": true/"requiresTribunal": false/' -e 's/"requiresBsaArchive": true/"requiresBsaArchive": false/' \
  -e 's/"pluginFile": "Mod.esp"/"pluginFile": "Renamed.esp"/' "$work/plug/filled.qsform" >"$work/plug/stale.qsform"
run --form "$work/plug/stale.qsform" --check
expect 3 "" "stale form"
for want in "Имя файла: не то, что у выбранного файла плагина, Mod.esp" \
  "Tribunal: плагин требует tribunal.ESM, а флажок не отмечен" \
  "Архив BSA: рядом с плагином лежит Mod.bsa, а флажок не отмечен"; do
  grep -qxF "$want" "$work/stdout" || fail "stale form: no check '$want' in: $(cat "$work/stdout")"
done
mv "$work/plug/Mod.esp" "$work/plug/Moved.esp"
run --form "$work/plug/filled.qsform" --check
grep -qxF "Имя файла: файл плагина не найден" "$work/stdout" || fail "plug-in gone: $(cat "$work/stdout")"

# A plug-in that cannot be read: its fault, status 2, nothing written.
mkdir -p "$work/plug/none"
printf 'not a plug-in' >"$work/plug/text.esp"
for case in "text.esp:не плагин Morrowind" "missing.esp:файл не открывается" "none:файл не открывается"; do
  run --plugin "$work/plug/${case%%:*}" --output "$work/plug/none/ReadMe.htm" --write-form "$work/plug/none/f.qsform" --check
  expect 2 "quillsmith-render: $work/plug/${case%%:*}: ${case#*:}" "unreadable plug-in ${case%%:*}"
  [[ -z "$(ls -A "$work/plug/none")" && ! -s "$work/stdout" ]] || fail "unreadable plug-in ${case%%:*}: something was written"
done

# --- --format: one of the other texts alone, byte for byte its golden -----
for pair in txt:example-ReadMe.txt bbcode:example-bbcode.txt md:example-readme.md htm:example-ReadMe.htm; do
  format=${pair%%:*} golden="$QS_SOURCE_DIR/tests/golden/${pair#*:}"
  mkdir -p "$work/examples/as-$format"
  run --form "$work/examples/example-form.json" --output "$work/examples/as-$format/release" --format "$format"
  expect 0 "" "--format $format"
  cmp -s "$work/examples/as-$format/release" "$golden" || fail "--format $format: differs from ${pair#*:}"
  if [[ $format != htm ]]; then
    [[ "$(ls -A "$work/examples/as-$format")" == release ]] || fail "--format $format: more than the one file written"
  fi
done
[[ -d "$work/examples/as-htm/files/images" ]] || fail "--format htm: the readme's pictures not written"
mkdir -p "$work/texts"
run --form "$work/examples/example-form.json" --output "$work/texts/none/ReadMe.txt" --format txt
expect 1 "Ошибка открытия файла для записи" "--format txt into a missing folder"
run --form "$work/empty.json" --output "$work/texts/x" --format rtf
expect_error 'unknown format "rtf"' "unknown format"
run --form "$work/empty.json" --format md --check
expect_error "--format needs --output" "format without output"
run --form "$work/empty.json" --output "$work/texts/x.md" --format md --preview-png "$work/texts/p.png"
expect_error "--preview-png goes with --format htm" "picture of a text"
[[ ! -e "$work/texts/x" && ! -e "$work/texts/x.md" ]] || fail "--format usage errors: something was written"

run --help
[[ $status == 0 && "$(cat "$work/stdout")" == usage:* && "$(cat "$work/stdout")" == *--check* && "$(cat "$work/stdout")" == *--plugin*--write-form* && "$(cat "$work/stdout")" == *"--format htm|txt|bbcode|md"* ]] || fail "--help"

((failures == 0)) && echo "render test: all cases passed"
exit $((failures > 0))
