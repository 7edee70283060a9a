#!/usr/bin/env bash
# Benchmark of ovdm convert on a generated W-2 extract of SIZE_MB megabytes
# (default 1200): MB/s, the ratio to `wc -l` and peak RSS. The extract and its
# import file live in a temporary folder that is removed afterwards.
#   bench/run_bench.sh [SIZE_MB]
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-1200}
build=build-bench
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOV_BUILD_GUI=OFF -DOV_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target ovdm ovdm_bench >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/ovdm-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/bench/ovdm_bench" "$PWD/$build/cli/ovdm" "$size" "$work"
