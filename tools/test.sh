#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, checks the formatting, builds Idrovela and runs every test
# headless. Exits non-zero when anything fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/deps.sh test

echo "== formatting"
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
[ ${#sources[@]} -eq 0 ] || clang-format --dry-run --Werror "${sources[@]}"

echo "== build"
tools/build.sh "$top/build"

echo "== tests"
# The sound tests play through a private PulseAudio server and record its null sink.
tools/with-sound-server.sh ctest --test-dir "$top/build" --output-on-failure --timeout 300 -j2
