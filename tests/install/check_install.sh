#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what landed where the
# desktop looks for it: exactly these files, a valid desktop entry naming the
# installed program and icon, valid AppStream metainfo, icons of the right size.
#   check_install.sh <cmake> <build folder> <application id>
set -euo pipefail
cmake_command=$1 build=$2 id=$3

prefix_root=$(mktemp -d)
trap 'rm -rf "$prefix_root"' EXIT
prefix=$prefix_root/usr
failures=0
problem() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

"$cmake_command" --install "$build" --prefix "$prefix" >"$prefix_root/install.log" ||
    { cat "$prefix_root/install.log" >&2; echo "FAIL: cmake --install failed" >&2; exit 1; }

expected=$(printf '%s\n' \
    bin/moxarium \
    "share/applications/$id.desktop" \
    "share/icons/hicolor/256x256/apps/$id.png" \
    "share/icons/hicolor/48x48/apps/$id.png" \
    "share/icons/hicolor/scalable/apps/$id.svg" \
    "share/metainfo/$id.metainfo.xml" | LC_ALL=C sort)
installed=$(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort)
if [ "$installed" != "$expected" ]; then
    problem "the installation holds other files than expected:"
    diff <(echo "$expected") <(echo "$installed") >&2 || true
fi
[ -x "$prefix/bin/moxarium" ] || problem "bin/moxarium is not executable"

entry=$prefix/share/applications/$id.desktop
# Hints count too: the entry is ours, so it can be spotless.
if ! output=$(desktop-file-validate "$entry" 2>&1) || [ -n "$output" ]; then
    problem "desktop-file-validate: $output"
fi
key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(key Name)" = Moxarium ] || problem "the entry's Name is '$(key Name)'"
[ -n "$(key Comment)" ] || problem "the entry has no Comment"
[ "$(key Categories)" = "Development;Database;" ] || problem "the entry's Categories are '$(key Categories)'"
[ "$(key Exec)" = moxarium ] || problem "the entry runs '$(key Exec)', not the installed program"
[ "$(key Icon)" = "$id" ] || problem "the entry's Icon '$(key Icon)' is not the installed icon $id"
grep -q '^MimeType=' "$entry" && problem "the entry claims file types"

metainfo=$prefix/share/metainfo/$id.metainfo.xml
if ! output=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
    problem "appstreamcli validate: $output"
fi
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    problem "the metainfo does not launch $id.desktop"

# A PNG's width and height are the two big-endian words after "IHDR".
png_size() { python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "not a PNG")' "$1"; }
for size in 48 256; do
    got=$(png_size "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png")
    [ "$got" = "${size}x${size}" ] || problem "the ${size} px icon is $got"
done

[ "$failures" -eq 0 ] || exit 1
echo "the installation is complete and valid"
