#!/usr/bin/env bash
# Writes the seeds of plugin_header_fuzz: headers made here, never a game's
# own files. Each seed is named by its SHA-1, as libFuzzer names its corpus.
#   fuzz/make_plugin_seeds.sh [FOLDER]   default fuzz/corpus/plugin_header_fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-fuzz/corpus/plugin_header_fuzz}
mkdir -p "$out"

le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
padded() { printf '%s' "$1"; head -c $(($2 - $(printf '%s' "$1" | wc -c))) /dev/zero; }
hedr() { printf 'HEDR'; le32 300; printf '\x9a\x99\x99\x3f'; le32 "$1"; padded "$2" 32; padded "$3" 256; le32 7; }
mast() { printf 'MAST'; le32 $((${#1} + 1)); printf '%s\0' "$1"; printf 'DATA'; le32 8; le32 "$2"; le32 0; }
record() {  # record FILE: the subrecords on standard input
  local body
  body=$(mktemp)
  cat >"$body"
  { printf 'TES3'; le32 "$(stat -c %s "$body")"; le32 0; le32 0; cat "$body"; } >"$1"
  rm -f "$body"
}
seed() {  # seed: the seed's bytes on standard input
  local file
  file=$(mktemp)
  cat >"$file"
  chmod 644 "$file"
  mv "$file" "$out/$(sha1sum "$file" | cut -c1-40)"
}

tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
{ hedr 0 "" ""; } | record "$tmp" && seed <"$tmp"
{ hedr 0 "Anna" "A lighthouse"; mast Morrowind.esm 79837557; mast Tribunal.esm 4565686; mast Tamriel_Data.esm 1; } |
  record "$tmp" && seed <"$tmp"
{ printf 'FORM'; le32 4; le32 1; hedr 1 "$(printf '\xc0\xed\xed\xe0')" "$(printf '\xcc\xe0\xff\xea\r\n')"; mast bloodmoon.ESM 9; } |
  record "$tmp" && seed <"$tmp"
{ hedr 0 "x" "y"; mast Morrowind.esm 1; } | record "$tmp" && { cat "$tmp"; printf 'GLOB'; le32 0; le32 0; le32 0; } | seed
head -c 40 "$tmp" | seed  # cut inside HEDR
{ hedr 0 "" ""; printf 'MAST'; le32 5; printf 'A.esm'; } | record "$tmp" && seed <"$tmp"  # MAST without its NUL
