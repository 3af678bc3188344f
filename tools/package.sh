#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of Idrovela in build-release/ and prints its path. Install it with
#   sudo apt install ./build-release/idrovela_1.00_amd64.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$top/build-release
"$top/tools/deps.sh" package
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DIDROVELA_TESTS=OFF >/dev/null
cmake --build "$out"
(cd "$out" && cpack >/dev/null)
ls "$out"/idrovela_*.deb
