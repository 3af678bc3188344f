#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Idrovela and starts it. Only the program and its sound
# module are built, optimised and without treating warnings as errors, in a folder of their
# own: a first start should not wait for the tests, nor fail on a newer compiler's warning.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$top/build-run
"$top/tools/deps.sh" run
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DIDROVELA_TESTS=OFF >/dev/null
cmake --build "$out" --target idrovela idrovela-suono
exec "$out/bin/idrovela"
