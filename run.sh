#!/usr/bin/env bash
# Installs what is missing, builds, and starts Moxarium.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
mox_install "${MOX_BUILD_PACKAGES[@]}" "${MOX_RUN_PACKAGES[@]}"
mox_build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display to show the window on (DISPLAY is not set); run it from a desktop session." >&2
    exit 1
fi
exec "$MOX_BUILD/app/moxarium"
