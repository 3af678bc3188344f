#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of Idrovela in build-release/ (or the folder given), writes its
# SHA-256 beside it (SHA256SUMS) and prints its path. Install it with
#   sudo apt install ./build-release/idrovela_1.00_amd64.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build-release}
"$top/tools/deps.sh" package
# The same commit gives the same bytes: every date in the package is the last commit's.
SOURCE_DATE_EPOCH=$("$top/tools/source-date.sh")
export SOURCE_DATE_EPOCH
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DIDROVELA_TESTS=OFF >/dev/null
cmake --build "$out"
(cd "$out" && cpack >/dev/null && sha256sum idrovela_*.deb >SHA256SUMS)
ls "$out"/idrovela_*.deb
