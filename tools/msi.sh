#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows Installer package of Idrovela from packaging/windows/Idrovela.wxs:
#   tools/msi.sh VERSION Idrovela.exe Licenza.txt OUTPUT.msi
# tools/windows.sh calls it for the release; the installer's tests call it again to make a
# later and an earlier version of the same package.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
version=$1
exe=$(realpath "$2")
licence=$(realpath "$3")
msi=$(realpath -m "$4")
wxs=$top/packaging/windows/Idrovela.wxs

# The product code is a name-based (SHA-1) UUID of the version in the upgrade code's space:
# it changes with the version, which a major upgrade needs, and every build of one version
# gets the same one, without a table of codes to keep by hand.
upgrade=$(sed -n 's/.*UpgradeCode="\([0-9A-Fa-f-]*\)".*/\1/p' "$wxs")
hash=$({
    printf "$(printf '%s' "${upgrade//-/}" | sed 's/../\\x&/g')"
    printf '%s' "$version"
} | sha1sum | cut -c1-32)
variant=$(printf '%x' $(((0x${hash:16:1} & 3) | 8)))
product="${hash:0:8}-${hash:8:4}-5${hash:13:3}-$variant${hash:17:3}-${hash:20:12}"
homepage=$(sed -n 's/.*HOMEPAGE_URL "\([^"]*\)".*/\1/p' "$top/CMakeLists.txt")

# wixl finds the files by their names in the folder it runs in.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/Idrovela.exe"
cp "$licence" "$stage/Licenza.txt"
cp "$top/resources/windows/idrovela.ico" "$stage/idrovela.ico"
rm -f "$msi"
(cd "$stage" && wixl -a x64 -D Versione="$version" -D CodiceProdotto="${product^^}" \
    -D Indirizzo="$homepage" -o "$msi" "$wxs")
# wixl writes an English template and leaves the tables' code page to the machine that
# installs; the package is Italian, and its accented texts are Windows-1252.
msibuild "$msi" -s "Idrovela $version" "Laboratorio Idrovela" "x64;1040"
printf '\n\n1252\t_ForceCodepage\n' >"$stage/_ForceCodepage.idt"
msibuild "$msi" -i "$stage/_ForceCodepage.idt"
