#!/usr/bin/env bash
# kinvalo-cli calculate beside the yardstick (kinvalo_limit: read, sort and
# write the same files, nothing else) on noisy threshold inputs of N data
# sets, and kinvalo-cli graph of the .out of 10^6.
#
#   bash bench/side_by_side.sh [-r RUNS] [-n "100000 1000000 10000000"]
#                              [-b BUILD] [-c CACHE] [-g GRAPH_N]
#
# The inputs are written once into CACHE (default BUILD/side-by-side) and
# kept. For each N, an untimed run of kinvalo-cli (--json) gives the
# yardstick the few lines it copies and the breakpoint; then both programs
# run alternately RUNS times (default 5), each on a fresh copy of the input
# in the same folder, so that they write new files of the same names. The
# files of their first runs must be byte for byte the same, or the script
# stops. Seconds are wall-clock medians; peak memory is the largest
# resident set of the process (/usr/bin/time %M), its median over the runs.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
runs=5
sizes="100000 1000000 10000000"
build="$here/../build"
cache=""
graph_n=1000000
while getopts "r:n:b:c:g:h" option; do
  case "$option" in
    r) runs="$OPTARG" ;;
    n) sizes="$OPTARG" ;;
    b) build="$OPTARG" ;;
    c) cache="$OPTARG" ;;
    g) graph_n="$OPTARG" ;;
    *) sed -n '2,16p' "$0"; exit 2 ;;
  esac
done
build="$(cd "$build" && pwd)"
cache="${cache:-$build/side-by-side}"
cli="$build/src/kinvalo-cli"
limit="$build/bench/kinvalo_limit"
generate="$build/bench/kinvalo_bench_input"
for program in "$cli" "$limit" "$generate" /usr/bin/time; do
  [ -x "$program" ] || { echo "missing: $program (build first; setup.sh --tests installs time)" >&2; exit 2; }
done
mkdir -p "$cache"
work="$(mktemp -d "${TMPDIR:-/tmp}/kinvalo-side-by-side.XXXXXX")"
trap 'rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Runs a command on a fresh copy of the input; appends "seconds KiB" to $1.
timed() {
  local log="$1" input="$2"
  shift 2
  rm -f "$work"/run.*
  cp "$input" "$work/run.inp"
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 ))e-6 $(tail -n 1 "$work/rss")" >>"$log"
}

input_of() {
  local n="$1" file="$cache/n$1.inp"
  [ -s "$file" ] || "$generate" "$n" "$file"
  echo "$file"
}

printf '%10s %10s %10s %7s %11s %11s %7s\n' N kinvalo_s limit_s ratio kinvalo_MiB limit_MiB ratio
for n in $sizes; do
  input="$(input_of "$n")"
  ref="$work/ref"
  rm -rf "$ref" && mkdir -p "$ref"
  cp "$input" "$ref/run.inp"
  "$cli" calculate --json "$ref/run.inp" >"$ref/run.json"
  : >"$work/kinvalo.log"
  : >"$work/limit.log"
  for ((i = 1; i <= runs; ++i)); do
    timed "$work/kinvalo.log" "$input" "$cli" calculate "$work/run.inp"
    if [ "$i" = 1 ]; then mkdir -p "$work/first" && cp "$work"/run.* "$work/first/"; fi
    timed "$work/limit.log" "$input" "$limit" "$work/run.inp" "$ref/run.out" "$ref/run.json"
    if [ "$i" = 1 ]; then
      for kind in out txt var lsq; do
        if [ -e "$work/first/run.$kind" ] || [ -e "$work/run.$kind" ]; then
          cmp "$work/first/run.$kind" "$work/run.$kind" || { echo "N=$n: the .$kind files differ" >&2; exit 1; }
        fi
      done
      rm -rf "$work/first"
    fi
  done
  ks=$(cut -d' ' -f1 "$work/kinvalo.log" | median)
  ls=$(cut -d' ' -f1 "$work/limit.log" | median)
  km=$(cut -d' ' -f2 "$work/kinvalo.log" | median)
  lm=$(cut -d' ' -f2 "$work/limit.log" | median)
  awk -v n="$n" -v ks="$ks" -v ls="$ls" -v km="$km" -v lm="$lm" 'BEGIN {
    printf "%10d %10.3f %10.3f %7.2f %11.1f %11.1f %7.2f\n", n, ks, ls, ks / ls, km / 1024, lm / 1024, km / lm }'
done

if [ -n "$graph_n" ] && [ "$graph_n" != 0 ]; then
  input="$(input_of "$graph_n")"
  rm -rf "$work/graph" && mkdir -p "$work/graph"
  cp "$input" "$work/graph/run.inp"
  "$cli" --quiet calculate "$work/graph/run.inp"
  : >"$work/graph.log"
  for ((i = 1; i <= runs; ++i)); do
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/rss" "$cli" --quiet graph "$work/graph/run.out" "$work/graph/run.png"
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000 ))e-6 $(tail -n 1 "$work/rss")" >>"$work/graph.log"
  done
  gs=$(cut -d' ' -f1 "$work/graph.log" | median)
  gm=$(cut -d' ' -f2 "$work/graph.log" | median)
  awk -v n="$graph_n" -v s="$gs" -v m="$gm" 'BEGIN {
    printf "kinvalo-cli graph of N = %d: %.3f s (median of the runs), %.1f MiB\n", n, s, m / 1024 }'
fi
