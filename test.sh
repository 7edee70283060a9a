#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the whole test suite.
# Then the same suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/), and every fuzz target for a fixed number of inputs with a
# fixed seed (build-fuzz/, fuzz/run_fuzz.sh ci). OV_QUICK=1 stops after the
# first stage.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
ov_install_missing clang-14 libclang-rt-14-dev
ov_build build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)"

[ "${OV_QUICK:-0}" = 1 ] && exit 0

# Any memory fault, leak or undefined behaviour ends the test in which it
# happens, with a stack. The build needs the same options: test discovery
# runs the test programs.
sanitized() {
  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:print_stacktrace=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
  "$@"
}
sanitized ov_build build-asan -DOV_SANITIZE=ON
sanitized ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

fuzz/run_fuzz.sh ci
