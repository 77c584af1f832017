#!/usr/bin/env bash
# The record file against a real MariaDB server: every value stored must be
# the form's value, double quotes turned into apostrophes and nothing else,
# for quotes, apostrophes, backslashes (trailing ones too), CR LF,
# semicolons, comment markers and every byte from 0x01 to 0xFF.
#
# Starts its own server in a temporary folder on a socket, and stops it on
# every way out.
set -euo pipefail

: "${QS_BUILD_DIR:?}" "${QS_SOURCE_DIR:?}"
render="$QS_BUILD_DIR/app/render/quillsmith-render"
export PATH="$PATH:/usr/sbin:/sbin"

work=$(mktemp -d)
server_pid=""
stop() {
  if [[ -n "$server_pid" ]]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap stop EXIT

# --- the server -------------------------------------------------------------
data="$work/data"
socket="$work/mysqld.sock"
mariadb-install-db --no-defaults --datadir="$data" --user=root \
  --auth-root-authentication-method=normal >"$work/install.log" 2>&1 \
  || { cat "$work/install.log"; exit 1; }
mariadbd --no-defaults --datadir="$data" --socket="$socket" --skip-networking \
  --user=root --pid-file="$work/mysqld.pid" --log-error="$work/server.log" 2>>"$work/server.log" &
server_pid=$!

sql() { mariadb --no-defaults --socket="$socket" -uroot --batch --skip-column-names "$@"; }
for _ in $(seq 1 300); do
  sql -e 'SELECT 1' >/dev/null 2>&1 && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.log"; exit 1; }
  sleep 0.1
done
sql -e 'SELECT 1' >/dev/null

# The site's kind of database: double quotes delimit strings, and a
# backslash escapes inside them.
mode=$(sql -e 'SELECT @@sql_mode')
[[ "$mode" != *ANSI_QUOTES* && "$mode" != *NO_BACKSLASH_ESCAPES* ]] || { echo "sql_mode: $mode"; exit 1; }

columns=""
for i in $(seq 1 20); do columns+="${columns:+, }c$i BLOB"; done
sql -e "CREATE DATABASE site; CREATE TABLE site.plugs ($columns);"

# --- the forms --------------------------------------------------------------
# Windows-1251 bytes 0x80 to 0xBF as code points; 0xC0 to 0xFF are U+0410 on.
high=(0402 0403 201A 0453 201E 2026 2020 2021 20AC 2030 0409 2039 040A 040C 040B 040F
      0452 2018 2019 201C 201D 2022 2013 2014 0098 2122 0459 203A 045A 045C 045B 045F
      00A0 040E 045E 0408 00A4 0490 00A6 00A7 0401 00A9 0404 00AB 00AC 00AD 00AE 0407
      00B0 00B1 0406 0456 0491 00B5 00B6 00B7 0451 2116 0454 00BB 0458 0405 0455 0457)

hex_of() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n'; }

# A JSON string literal holding the bytes of a hex string.
json_of_hex() {
  local hex=$1 out='"' i b
  for ((i = 0; i < ${#hex}; i += 2)); do
    b=$((16#${hex:i:2}))
    if ((b < 0x80)); then printf -v u '%04x' "$b"
    elif ((b >= 0xC0)); then printf -v u '%04x' $((0x410 + b - 0xC0))
    else u=${high[b - 0x80]}; fi
    out+="\\u$u"
  done
  printf '%s"' "$out"
}

all_bytes=""
for ((b = 1; b < 256; b++)); do printf -v h '%02x' "$b"; all_bytes+=$h; done

# One row per form: the hex of each quoted text value.
declare -A value
fields=(pluginName archiveName imageName description authorName authorEmail adapterName adapterEmail originalLink)
declare -A column_of=([pluginName]=3 [archiveName]=4 [imageName]=5 [description]=6 [authorName]=7
                      [authorEmail]=8 [adapterName]=9 [adapterEmail]=10 [originalLink]=14)

row_values() {
  case $1 in
    1)
      value[pluginName]=$(hex_of 'He said "hi"; it'"'"'s fine -- ok # /* x */')
      value[archiveName]=$(hex_of 'it'"'"'s "mod" \ v1;.zip')
      value[imageName]=$(hex_of 'C:\new\table.jpg')
      value[description]=$(hex_of $'line 1\r\nline 2\r\n\r\n-- comment\r\n# hash\r\n/* block */;')
      value[authorName]=$(hex_of 'Author\')
      value[authorEmail]=$(hex_of 'author@example.org\')
      value[adapterName]=$(hex_of '\\')
      value[adapterEmail]=$(hex_of "'")
      value[originalLink]=$(hex_of 'http://mod.example/?a="1"&b='"'"'2'"'"'\') ;;
    2)
      value[pluginName]=$(hex_of '"); DROP TABLE plugs; -- ')
      value[archiveName]=$(hex_of 'x.zip";')
      value[imageName]=$(hex_of "\\'")
      value[description]=$all_bytes
      value[authorName]=$(hex_of '\"')
      value[authorEmail]=$(hex_of '\\\"')
      value[adapterName]=$(hex_of '\n\0\Z\b\t')
      value[adapterEmail]=$(hex_of '%_\%\_')
      value[originalLink]=$(hex_of '";')$(printf '0d0a')$(hex_of 'SELECT 1; #') ;;
    3)
      for f in "${fields[@]}"; do value[$f]=$all_bytes; done
      value[archiveName]=$(printf 'Остров.zip' | iconv -f UTF-8 -t CP1251 | od -An -tx1 -v | tr -d ' \n') ;;
  esac
}

# What the database must hold: the value with 0x22 turned into 0x27.
after_quote_rule() {
  local hex=$1 out="" i
  for ((i = 0; i < ${#hex}; i += 2)); do
    [[ ${hex:i:2} == 22 ]] && out+=27 || out+=${hex:i:2}
  done
  printf '%s' "${out^^}"
}

failures=0
for row in 1 2 3; do
  row_values $row
  out="$work/out$row"
  mkdir -p "$out"
  {
    printf '{"copyScreenshots": false, "writeBackgroundImages": false, "requiresTribunal": %s,' \
      "$([[ $row == 2 ]] && echo true || echo false)"
    printf '"pluginName": %s, "description": %s, "database": {' \
      "$(json_of_hex "${value[pluginName]}")" "$(json_of_hex "${value[description]}")"
    printf '"recordWanted": true, "categoryIndex": %d, "archiveSize": "%d", "grades": [2, 0, 1]' $((row + 10)) $((row * 1000))
    for f in archiveName imageName authorName authorEmail adapterName adapterEmail originalLink; do
      printf ', "%s": %s' "$f" "$(json_of_hex "${value[$f]}")"
    done
    printf '}}'
  } >"$work/form$row.json"

  "$render" --form "$work/form$row.json" --output "$out/ReadMe.htm"
  records=("$out"/*.sql)
  [[ ${#records[@]} == 1 ]] || { echo "row $row: expected one record file, got: ${records[*]}"; exit 1; }
  sql --binary-mode --default-character-set=binary site <"${records[0]}"

  declare -A expected=()
  for f in "${fields[@]}"; do expected[${column_of[$f]}]=$(after_quote_rule "${value[$f]}"); done
  expected[1]=""
  expected[2]=$(hex_of $((row + 11)) | tr a-f A-F)
  expected[11]=$([[ $row == 2 ]] && hex_of 1 || hex_of 0)
  expected[12]=$(hex_of 0)
  expected[13]=$(hex_of $((row * 1000)) | tr a-f A-F)
  expected[16]=$(hex_of 3)
  expected[17]=$(hex_of 1)
  expected[18]=$(hex_of 2)
  expected[19]=$(hex_of 1)

  # The rows share no value in column 2, the category, so it picks the row.
  selects=""
  for c in $(seq 1 20); do selects+="${selects:+, }HEX(c$c)"; done
  mapfile -t -d $'\t' stored < <(sql --binary-mode --default-character-set=binary \
    -e "SELECT $selects FROM site.plugs WHERE c2 = '$((row + 11))'" | tr -d '\n')
  for c in $(seq 1 20); do
    if [[ $c == 15 || $c == 20 ]]; then
      [[ -n "${stored[c - 1]}" ]] || { echo "row $row column $c: NOW() stored nothing"; failures=$((failures + 1)); }
      continue
    fi
    if [[ "${stored[c - 1]:-}" != "${expected[$c]^^}" ]]; then
      echo "row $row column $c: stored ${stored[c - 1]:-<none>}, expected ${expected[$c]^^}"
      failures=$((failures + 1))
    fi
  done
  unset expected
done

count=$(sql -e 'SELECT COUNT(*) FROM site.plugs')
[[ "$count" == 3 ]] || { echo "expected 3 rows, found $count"; failures=$((failures + 1)); }

((failures == 0)) && echo "mariadb record test: 3 rows x 20 columns stored as written"
exit $((failures > 0))
