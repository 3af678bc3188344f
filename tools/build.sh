#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Idrovela in build/ (or the folder given), warnings as errors.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build}
shift || true
cmake -S "$top" -B "$out" -G Ninja -DIDROVELA_WERROR=ON "$@" >/dev/null
cmake --build "$out"
