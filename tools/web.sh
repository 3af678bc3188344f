#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing and builds the browser program with Emscripten into build-web/ (or
# the folder given):
#   idrovela.html               the program, one file that needs nothing else, not even a network
#   Idrovela-1.00-web.zip       that file zipped, which school filters let through
#   sito/                       the page to host on a web server, with a web app manifest and a
#                               service worker, so that it installs as an app and starts offline
#   SHA256SUMS                  the SHA-256 of each, to compare with the published files
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build-web}
version=1.00
"$top/tools/deps.sh" web
# The same commit gives the same bytes: every date in the artefacts is the last commit's.
SOURCE_DATE_EPOCH=$("$top/tools/source-date.sh")
export SOURCE_DATE_EPOCH
# Debian's Emscripten looks for its JavaScript modules and Python where Debian keeps them.
export NODE_PATH=/usr/share/nodejs EMSDK_PYTHON=/usr/bin/python3
emcmake cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DIDROVELA_WERROR=ON \
    -DIDROVELA_TESTS=OFF >/dev/null
cmake --build "$out" -j2

rm -f "$out/Idrovela-$version-web.zip"
(cd "$out" && zip -q -X -9 "Idrovela-$version-web.zip" idrovela.html)
# Dated by the commit in UTC, with a mode that does not follow the umask.
TZ=UTC strip-nondeterminism --type zip --timestamp "$SOURCE_DATE_EPOCH" \
    "$out/Idrovela-$version-web.zip"

# The hosted page may also read its manifest and icons and start its worker, from its own site.
sito=$out/sito
rm -rf "$sito"
mkdir -p "$sito"
sed -e "s|img-src data: blob:;|img-src data: blob: 'self'; manifest-src 'self'; worker-src 'self';|" \
    -e "/<!--SITO-->/{r $top/web/sito/testa.html" -e 'd}' "$out/idrovela.html" >"$sito/index.html"
grep -q "worker-src 'self'" "$sito/index.html"
cp "$top/web/sito/manifest.webmanifest" "$sito/"
sed "s/@VERSIONE@/$version-$(sha256sum "$sito/index.html" | cut -c1-12)/" \
    "$top/web/sito/sw.js" >"$sito/sw.js"
cp "$top/resources/web/idrovela-192.png" "$top/resources/web/idrovela-512.png" "$sito/"
# The folder is copied as it is to a web server, whose user must read it: modes that do not
# follow the umask, and the commit's date rather than the hour of the build.
chmod 755 "$sito"
chmod 644 "$sito"/*
touch -d "@$SOURCE_DATE_EPOCH" "$sito"/* "$sito"
(cd "$out" && sha256sum idrovela.html "Idrovela-$version-web.zip" sito/* >SHA256SUMS)
ls -l "$out/idrovela.html" "$out/Idrovela-$version-web.zip"
du -sb "$sito"
