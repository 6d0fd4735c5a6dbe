#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks its file list,
# control data and dependencies, unpacks it into a temporary root (nothing is
# installed on the machine) and runs what it installed from there.
set -euo pipefail
build=$1
bundle_check=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "package test: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/*.deb)
echo "package: $(basename "$deb")"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for path in \
    /usr/bin/ambrel /usr/lib/ambrel/ambrel /usr/bin/ambrel-cli /usr/bin/AmbrelUninstall \
    /usr/bin/plcsim /usr/bin/apsim \
    /usr/share/ambrel/1033.rcc /usr/share/ambrel/2052.rcc /usr/share/ambrel/config.ini \
    /usr/share/applications/ambrel.desktop /usr/share/applications/ambrel-uninstall.desktop \
    /usr/bin/corvix /usr/share/applications/corvix.desktop \
    /usr/share/icons/hicolor/48x48/apps/corvix.png \
    /usr/share/icons/hicolor/48x48/apps/ambrel.png /usr/share/icons/hicolor/256x256/apps/ambrel.png \
    /usr/share/doc/ambrel/copyright /usr/share/doc/ambrel/changelog.gz \
    ${EXTRA_PACKAGE_FILES:-}; do
    grep -qx "$path" "$work/files" || fail "$path is missing from the package"
done

dpkg-deb -e "$deb" "$work/control"
grep -q 'setcap cap_net_raw+ep' "$work/control/postinst" || fail "postinst grants no capability"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libpcap0.8 libqt6widgets6 libcap2-bin pkexec; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

dpkg-deb -x "$deb" "$work/root"
key=$("$work/root/usr/bin/ambrel-cli" key network HomePlugAV)
[ "$key" = "50D3E4933F855B7040784DF815AA8DB7" ] || fail "ambrel-cli printed $key"
echo "ambrel-cli key network HomePlugAV: $key"
QT_QPA_PLATFORM=offscreen "$bundle_check" "$work/root/usr/share/ambrel/1033.rcc" 1033 EN
QT_QPA_PLATFORM=offscreen "$bundle_check" "$work/root/usr/share/ambrel/2052.rcc" 2052 CN
grep -q '^\[GLOBAL\]' "$work/root/usr/share/ambrel/config.ini" || fail "config.ini has no GLOBAL section"
# The launcher seeds the user's config.ini from the installed default. The
# program it then starts lives under /usr, not in the unpacked root, so only
# the seeding is checked here, with the default taken from the unpacked root.
sed "s|/usr/share/ambrel|$work/root/usr/share/ambrel|; s|exec .*|exit 0|" \
    "$work/root/usr/bin/ambrel" >"$work/launcher"
XDG_CONFIG_HOME="$work/home" sh "$work/launcher"
cmp -s "$work/home/ambrel/config.ini" "$work/root/usr/share/ambrel/config.ini" ||
    fail "the launcher did not seed config.ini"
[ "$(stat -c %a "$work/home/ambrel/config.ini")" = 600 ] || fail "config.ini is readable by others"
echo "launcher seeds ~/.config/ambrel/config.ini (mode 600)"
echo "package test passed"
