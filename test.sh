#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   ./test.sh           the normal build in build/
#   ./test.sh --asan    an AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
# Any other arguments go to ctest.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
if [ "${1:-}" = "--asan" ]; then
    shift
    MOX_BUILD="$MOX_ROOT/build-asan"
    MOX_CMAKE_ARGS=(-DMOX_SANITIZE=ON)
    export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
mox_install "${MOX_BUILD_PACKAGES[@]}" "${MOX_RUN_PACKAGES[@]}" "${MOX_TEST_PACKAGES[@]}"
mox_build
ctest --test-dir "$MOX_BUILD" --output-on-failure --parallel 2 "$@"
