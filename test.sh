#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
mox_install "${MOX_BUILD_PACKAGES[@]}" "${MOX_RUN_PACKAGES[@]}" "${MOX_TEST_PACKAGES[@]}"
mox_build
ctest --test-dir "$MOX_BUILD" --output-on-failure --parallel 2 "$@"
