#!/usr/bin/env bash
# The yardstick writes Kinvalo's files byte for byte: for each input given,
# kinvalo-cli calculate and then kinvalo_limit write into the same folder,
# and every result file of the one must equal that of the other.
#
#   bash bench/limit_matches.sh BUILD INPUT.inp|N...
#
# A number N stands for the benchmarks' noisy threshold input of N data sets.
set -euo pipefail
build="$1"
shift
work="$(mktemp -d "${TMPDIR:-/tmp}/kinvalo-limit.XXXXXX")"
trap 'rm -rf "$work"' EXIT
status=0
for input in "$@"; do
  rm -rf "$work"/*
  mkdir -p "$work/ref"
  if [[ "$input" =~ ^[0-9]+$ ]]; then
    "$build/bench/kinvalo_bench_input" "$input" "$work/run.inp"
  else
    cp "$input" "$work/run.inp"
  fi
  "$build/src/kinvalo-cli" calculate --json "$work/run.inp" >"$work/ref/run.json"
  mv "$work"/run.out "$work"/run.var "$work/ref/"
  for kind in txt lsq; do [ ! -e "$work/run.$kind" ] || mv "$work/run.$kind" "$work/ref/"; done
  "$build/bench/kinvalo_limit" "$work/run.inp" "$work/ref/run.out" "$work/ref/run.json"
  for kind in out txt var lsq; do
    if [ -e "$work/ref/run.$kind" ] || [ -e "$work/run.$kind" ]; then
      cmp "$work/ref/run.$kind" "$work/run.$kind" || { echo "$input: the .$kind files differ" >&2; status=1; }
    fi
  done
done
exit $status
