#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Idrovela in build/ (or the folder given), warnings as errors. Further
# arguments go to CMake's configuration, except "--target NAME", which builds only that.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build}
shift || true
options=()
targets=()
while [ $# -gt 0 ]; do
    if [ "$1" = --target ] && [ $# -gt 1 ]; then
        targets+=(--target "$2")
        shift 2
    else
        options+=("$1")
        shift
    fi
done
cmake -S "$top" -B "$out" -G Ninja -DIDROVELA_WERROR=ON "${options[@]}" >/dev/null
cmake --build "$out" "${targets[@]}"
