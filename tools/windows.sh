#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing and cross-compiles the Windows program into build-windows/ (or the
# folder given): build-windows/Idrovela.exe.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build-windows}
"$top/tools/deps.sh" windows
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DIDROVELA_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$top/tools/mingw-w64-x86_64.cmake" -DIDROVELA_TESTS=OFF >/dev/null
cmake --build "$out"
cp "$out/bin/Idrovela.exe" "$out/Idrovela.exe"
