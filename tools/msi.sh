#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows Installer package of Idrovela from packaging/windows/Idrovela.wxs:
#   tools/msi.sh VERSION Idrovela.exe Licenza.txt OUTPUT.msi
# tools/windows.sh calls it for the release; the installer's tests call it again to make a
# later and an earlier version of the same package. The same inputs give the same bytes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
version=$1
exe=$(realpath "$2")
licence=$(realpath "$3")
msi=$(realpath -m "$4")
wxs=$top/packaging/windows/Idrovela.wxs
epoch=$("$top/tools/source-date.sh")
# The cabinet's file times and the summary's dates are written in local time.
export TZ=UTC

# A name-based (SHA-1) UUID of the text given, in the upgrade code's space, in capitals.
upgrade=$(sed -n 's/.*UpgradeCode="\([0-9A-Fa-f-]*\)".*/\1/p' "$wxs")
uuid() {
    local hash variant
    hash=$({
        printf "$(printf '%s' "${upgrade//-/}" | sed 's/../\\x&/g')"
        printf '%s' "$1"
    } | sha1sum | cut -c1-32)
    variant=$(printf '%x' $(((0x${hash:16:1} & 3) | 8)))
    local code="${hash:0:8}-${hash:8:4}-5${hash:13:3}-$variant${hash:17:3}-${hash:20:12}"
    echo "${code^^}"
}
# The product code changes with the version, which a major upgrade needs, and every build of
# one version gets the same one, without a table of codes to keep by hand.
product=$(uuid "$version")
# The project's address, where it has one, for Programs and Features.
homepage=$(sed -n 's/.*HOMEPAGE_URL "\([^"]*\)".*/\1/p' "$top/CMakeLists.txt")

# wixl finds the files by their names in the folder it runs in, and puts their times in the
# cabinet: the last commit's.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/Idrovela.exe"
cp "$licence" "$stage/Licenza.txt"
cp "$top/resources/windows/idrovela.ico" "$stage/idrovela.ico"
touch -d "@$epoch" "$stage"/*
rm -f "$msi"
(cd "$stage" && wixl -a x64 -D Versione="$version" -D CodiceProdotto="$product" \
    -D Indirizzo="$homepage" -o "$msi" "$wxs")
# wixl writes an English template and leaves the tables' code page to the machine that
# installs; the package is Italian, and its accented texts are Windows-1252.
msibuild "$msi" -s "Idrovela $version" "Laboratorio Idrovela" "x64;1040"
printf '\n\n1252\t_ForceCodepage\n' >"$stage/_ForceCodepage.idt"
msibuild "$msi" -i "$stage/_ForceCodepage.idt"

# wixl dates the package with the clock and gives it a random package code. The dates become
# the last commit's; the package code, which must differ between any two different packages,
# is a name-based UUID of the package's own bytes with a null code in its place.
summary() {
    local date
    date=$(date -u -d "@$epoch" '+%Y/%m/%d %H:%M:%S')
    printf 'PropertyId\tValue\r\ni2\tl255\r\n_SummaryInformation\tPropertyId\r\n'
    printf '9\t{%s}\r\n12\t%s\r\n13\t%s\r\n' "$1" "$date" "$date"
}
summary 00000000-0000-0000-0000-000000000000 >"$stage/_SummaryInformation.idt"
msibuild "$msi" -i "$stage/_SummaryInformation.idt"
summary "$(uuid "$(sha256sum <"$msi")")" >"$stage/_SummaryInformation.idt"
msibuild "$msi" -i "$stage/_SummaryInformation.idt"
