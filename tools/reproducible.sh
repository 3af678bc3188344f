#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that one commit gives the same bytes wherever and whenever it is built:
#   tools/reproducible.sh BUILD-WINDOWS BUILD-WEB BUILD
# takes the folders that tools/windows.sh, tools/web.sh and tools/build.sh filled, makes the
# Debian package of BUILD, then builds all of it once more from a copy of the sources in a
# folder of another name, with another umask, time zone and locale, and compares the SHA-256
# of every artefact. Where two differ it prints the first lines of diffoscope's report on them,
# and it exits non-zero.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
windows=$(realpath "$1")
web=$(realpath "$2")
linux=$(realpath "$3")
SOURCE_DATE_EPOCH=$("$top/tools/source-date.sh")
export SOURCE_DATE_EPOCH
work=$(mktemp -d "${TMPDIR:-/tmp}/idrovela-di-nuovo.XXXXXX")
trap 'rm -rf "$work"' EXIT
log=$work/costruzione.log

cpack --config "$linux/CPackConfig.cmake" -B "$work/deb" >"$log" 2>&1
(cd "$work/deb" && sha256sum idrovela_*.deb >SHA256SUMS)

# The second build: the tracked files as they are now, with fresh times and modes from a umask
# that keeps everything private, in a time zone 5:45 from UTC and in the other locale.
copy=$work/un-altro-albero
if [ "$(locale charmap 2>/dev/null)" = UTF-8 ]; then locale=C; else locale=C.UTF-8; fi
if ! (
    umask 077
    export TZ=NPT-5:45 LC_ALL=$locale
    mkdir "$copy"
    git -C "$top" ls-files -z | tar -C "$top" --null -T - -cf - \
        | tar -C "$copy" -xmf - --no-same-permissions
    "$copy/tools/windows.sh" "$copy/altro-windows"
    "$copy/tools/web.sh" "$copy/altro-web"
    # Only what the package holds; its options as tools/build.sh gives them.
    cmake -S "$copy" -B "$copy/altro-linux" -G Ninja -DIDROVELA_WERROR=ON -DIDROVELA_TESTS=OFF \
        -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
    cmake --build "$copy/altro-linux" --target idrovela idrovela-suono idrovela-documenti
    cpack --config "$copy/altro-linux/CPackConfig.cmake" -B "$copy/altro-linux/deb"
    cd "$copy/altro-linux/deb" && sha256sum idrovela_*.deb >SHA256SUMS
) >>"$log" 2>&1; then
    tail -n 40 "$log"
    echo "the second build failed"
    exit 1
fi

# Compares the artefacts that SHA256SUMS lists in two folders.
differ=0
compare() {
    local sum name other
    while read -r sum name; do
        other=$(sha256sum <"$2/$name" | cut -d' ' -f1)
        if [ "$sum" = "$other" ]; then
            echo "same       $sum  $name"
        else
            echo "DIFFERENT  $sum  $1/$name"
            echo "           $other  $2/$name"
            timeout 300 diffoscope "$1/$name" "$2/$name" </dev/null 2>&1 | head -n 40 || true
            differ=1
        fi
    done <"$1/SHA256SUMS"
}
compare "$windows" "$copy/altro-windows"
compare "$web" "$copy/altro-web"
compare "$work/deb" "$copy/altro-linux/deb"
exit $differ
