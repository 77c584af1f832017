#!/usr/bin/env bash
# Whole-process time of quillsmith-render for a form with three 20 MiB
# screenshots (readme, pictures, copies and record), against cp of the same
# three files, in the same run and on the same disk. Goal: at most 1.3 x cp.
#
#   bench/render_bench.sh [path/to/quillsmith-render]
#
# QS_BENCH_ROUNDS (default 21) rounds of one render and one cp, alternating
# which goes first, each after a sync; reports both medians and the median of
# the rounds' ratios. QS_BENCH_DIR picks the disk (default the temporary
# folder).
set -euo pipefail

render=${1:-build/default/app/render/quillsmith-render}
rounds=${QS_BENCH_ROUNDS:-21}
[[ -x "$render" ]] || { echo "no renderer at $render" >&2; exit 2; }

work=$(mktemp -d -p "${QS_BENCH_DIR:-${TMPDIR:-/tmp}}")
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/shots"
for i in 1 2 3; do head -c $((20 * 1024 * 1024)) /dev/urandom >"$work/shots/shot$i.jpg"; done
cat >"$work/form.json" <<EOF
{"pluginName": "Бенчмарк", "description": "Три больших скриншота.",
 "screenshotCount": 3,
 "screenshotPath": ["$work/shots/shot1.jpg", "$work/shots/shot2.jpg", "$work/shots/shot3.jpg"],
 "database": {"recordWanted": true, "archiveName": "bench.zip", "archiveSize": "62914560"}}
EOF

now_us() { local t=$EPOCHREALTIME; echo $((10#${t/./})); }

time_render() {
  rm -rf "$work/out" && mkdir -p "$work/out"
  sync
  local t0; t0=$(now_us)
  "$render" --form "$work/form.json" --output "$work/out/ReadMe.htm"
  echo $(($(now_us) - t0))
}
time_cp() {
  rm -rf "$work/copy" && mkdir -p "$work/copy/files/scrins"
  sync
  local t0; t0=$(now_us)
  cp "$work/shots/shot1.jpg" "$work/shots/shot2.jpg" "$work/shots/shot3.jpg" "$work/copy/files/scrins/"
  echo $(($(now_us) - t0))
}

# Warm the caches and check the output once.
time_render >/dev/null
for i in 1 2 3; do cmp -s "$work/shots/shot$i.jpg" "$work/out/files/scrins/shot$i.jpg" || { echo "copy $i differs" >&2; exit 1; }; done
time_cp >/dev/null

render_times=() cp_times=()
for ((r = 0; r < rounds; r++)); do
  if ((r % 2 == 0)); then
    render_times+=("$(time_render)"); cp_times+=("$(time_cp)")
  else
    cp_times+=("$(time_cp)"); render_times+=("$(time_render)")
  fi
done

# The machine is shared: a pair taken back to back sees the same load, so
# the median of the pairs' ratios is steadier than the ratio of medians.
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratios=()
for ((r = 0; r < rounds; r++)); do
  ratios+=("$(awk -v a="${render_times[r]}" -v b="${cp_times[r]}" 'BEGIN { printf "%.4f", a / b }')")
done
awk -v r="$(median "${render_times[@]}")" -v c="$(median "${cp_times[@]}")" \
    -v q="$(median "${ratios[@]}")" -v n="$rounds" 'BEGIN {
  printf "%d rounds; median quillsmith-render %.1f ms, cp %.1f ms; median ratio of pairs %.2f x (goal <= 1.30 x)\n",
         n, r / 1000, c / 1000, q }'
