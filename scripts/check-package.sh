#!/usr/bin/env bash
# Makes the .deb from build/, installs it with dpkg, starts the installed program
# once under Xvfb (tests/e2e/e2e_package.py: the window shows, exit writes its
# settings) and removes the package again, on every path. Run as root, after
# ./test.sh has built build/; CI runs it.
set -euo pipefail
source "$(dirname "$0")/setup.sh"

if [ "$(id -u)" -ne 0 ]; then
    echo "check-package: installing a package needs root" >&2
    exit 1
fi
# This check removes the package at its end: it must not take away one that
# somebody installed on purpose.
if dpkg-query -W -f='${Status}' moxarium 2>/dev/null | grep -q 'ok installed'; then
    echo "check-package: a moxarium package is already installed here; remove it first (dpkg --purge moxarium)" >&2
    exit 1
fi
mox_install "${MOX_BUILD_PACKAGES[@]}" "${MOX_RUN_PACKAGES[@]}" "${MOX_TEST_PACKAGES[@]}" "${MOX_PACKAGE_PACKAGES[@]}"
mox_build

work=$(mktemp -d)
installed=0
cleanup() {
    local rc=$?
    if [ "$installed" -eq 1 ] && dpkg-query -W moxarium >/dev/null 2>&1; then
        echo "check-package: removing the package"
        dpkg --purge moxarium >"$work/purge.log" 2>&1 || { cat "$work/purge.log" >&2; rc=1; }
    fi
    rm -rf "$work"
    exit "$rc"
}
trap cleanup EXIT

cpack --config "$MOX_BUILD/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "check-package: cpack could not make the package" >&2; exit 1; }
debs=("$work"/moxarium_*.deb)
[ -f "${debs[0]}" ] || { echo "check-package: cpack made no moxarium_*.deb" >&2; exit 1; }
deb=${debs[0]}
echo "check-package: made $(basename "$deb")"

installed=1
if ! dpkg -i "$deb" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "check-package: dpkg could not install $(basename "$deb") (its output is above)" >&2
    exit 1
fi
mapfile -t files < <(dpkg-query -L moxarium | while read -r f; do [ -f "$f" ] && echo "$f"; done)
[ -x /usr/bin/moxarium ] || { echo "check-package: the package put no program at /usr/bin/moxarium" >&2; exit 1; }

# The system Python: pyatspi comes from the Debian package.
/usr/bin/python3 "$MOX_ROOT/tests/e2e/e2e_package.py" --program /usr/bin/moxarium \
    --artifacts "$MOX_BUILD/e2e-artifacts" --timeout 120

dpkg --purge moxarium >"$work/purge.log" 2>&1 ||
    { cat "$work/purge.log" >&2; echo "check-package: dpkg could not remove the package" >&2; exit 1; }
installed=0
left=()
for f in "${files[@]}"; do
    [ -e "$f" ] && left+=("$f")
done
if [ "${#left[@]}" -ne 0 ] || dpkg-query -W moxarium >/dev/null 2>&1; then
    echo "check-package: removing the package left behind: ${left[*]:-its dpkg record}" >&2
    exit 1
fi
echo "check-package: installed, started, exited with its settings written, and removed cleanly (${#files[@]} files)"
