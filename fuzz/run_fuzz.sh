#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them one after another.
#
#   fuzz/run_fuzz.sh [ci | SECONDS | runs=N] [TARGET...]
#
#   ci (default)  each target runs a fixed number of inputs (OV_FUZZ_RUNS,
#                 default 20000; a quarter of it for the whole verification,
#                 which verifies each input three ways) with seed 1, from the
#                 seed corpus only
#   SECONDS       each target runs that long; what it finds is kept in
#                 BUILD/corpus/TARGET and used again by the next such run
#   runs=N        like ci with N inputs
#   coverage      builds the targets for llvm-cov in BUILD/coverage, runs each
#                 once over its seeds and what longer runs kept, and shows
#                 the line and branch coverage of the core's files
#
# TARGET is a folder name under fuzz/corpus (all of them when none is given).
# The build folder is OV_FUZZ_BUILD (default build-fuzz). Crashing inputs are
# saved in BUILD/artifacts/TARGET/, logs in BUILD/logs/TARGET.log. Exits
# non-zero when any target fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OV_FUZZ_BUILD:-$root/build-fuzz}
cxx=${OV_FUZZ_CXX:-clang++-14}

mode=${1:-ci}
[ $# -gt 0 ] && shift
case $mode in
  coverage) ;;
  ci) runs=${OV_FUZZ_RUNS:-20000}; seconds= ;;
  runs=*) runs=${mode#runs=}; seconds= ;;
  *[!0-9]*|'') echo "usage: $0 [ci | SECONDS | runs=N] [TARGET...]" >&2; exit 2 ;;
  *) seconds=$mode; runs= ;;
esac

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for d in "$root"/fuzz/corpus/*/; do targets+=("$(basename "$d")"); done
fi

if [ "$mode" = coverage ]; then
  cov=$build/coverage
  [ -f "$cov/build.ninja" ] ||
    cmake -S "$root/fuzz" -B "$cov" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DOV_FUZZ_COVERAGE=ON >/dev/null
  cmake --build "$cov" -j "${OV_FUZZ_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"
  rm -f "$cov"/*.profraw
  objects=()
  for t in "${targets[@]}"; do
    dirs=("$root/fuzz/corpus/$t")
    [ -d "$build/corpus/$t" ] && dirs+=("$build/corpus/$t")
    LLVM_PROFILE_FILE="$cov/$t.profraw" "$cov/fuzz_$t" -runs=0 "${dirs[@]}" >"$cov/$t.log" 2>&1
    objects+=(-object "$cov/fuzz_$t")
  done
  llvm-profdata-14 merge -o "$cov/all.profdata" "$cov"/*.profraw
  llvm-cov-14 report -instr-profile="$cov/all.profdata" "${objects[@]:1}" \
    "$root/checks" "$root/extract" "$root/schema"
  exit 0
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
fi
cmake --build "$build" -j "${OV_FUZZ_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"

# Aborts on the first fault with a stack; leaks count as faults too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:print_stacktrace=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

max_len_of() {
  case $1 in
    read_decimal|read_currency) echo 16384 ;;
    verification) echo 65536 ;;
    *) echo 4096 ;;
  esac
}

mkdir -p "$build/logs"
failed=()
# cov: edges covered, of edges (all instrumented in the target's program);
# ft: features (edges with hit counts); corpus: inputs kept.
printf '%-16s %8s %12s %10s %8s %8s %8s %7s\n' target seconds executions exec/s cov edges ft corpus
for t in "${targets[@]}"; do
  seeds=$root/fuzz/corpus/$t
  [ -d "$seeds" ] || { echo "no seed corpus $seeds" >&2; exit 2; }
  artifacts=$build/artifacts/$t
  mkdir -p "$artifacts"
  args=(-max_len="$(max_len_of "$t")" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$artifacts/")
  [ -f "$root/fuzz/dict/$t.dict" ] && args+=(-dict="$root/fuzz/dict/$t.dict")
  if [ -n "$runs" ]; then
    # A fresh working corpus each time: the same seeds and the same seed give the same run.
    work=$build/ci-corpus/$t
    rm -rf "$work"
    mkdir -p "$work"
    target_runs=$runs
    [ "$t" = verification ] && target_runs=$(( runs / 4 > 0 ? runs / 4 : 1 ))
    args+=(-runs="$target_runs" -seed=1)
  else
    work=$build/corpus/$t
    mkdir -p "$work"
    args+=(-max_total_time="$seconds")
  fi
  log=$build/logs/$t.log
  start=$(date +%s)
  status=0
  "$build/fuzz_$t" "${args[@]}" "$work" "$seeds" >"$log" 2>&1 || status=$?
  elapsed=$(( $(date +%s) - start ))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  edges=$(sed -n 's/^INFO: Loaded 1 modules *(\([0-9]*\) inline 8-bit counters.*/\1/p' "$log" | head -1)
  printf '%-16s %8s %12s %10s %8s %8s %8s %7s\n' "$t" "$elapsed" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${edges:-?}" \
    "${ft:-?}" "${corp:-?}"
  if [ "$status" -ne 0 ]; then
    failed+=("$t")
    echo "---- $t failed (exit $status); the end of $log:" >&2
    tail -n 40 "$log" >&2
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets failed: ${failed[*]} (inputs in $build/artifacts/)" >&2
  exit 1
fi
