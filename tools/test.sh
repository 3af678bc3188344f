#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, checks the formatting, cross-compiles the Windows program and its
# installer (build-windows/), builds the browser program (build-web/), builds Idrovela and runs
# every test headless: once as built for use (build/, with the Windows program under Wine and
# the browser program in Chromium), once more built with the sanitizers
# (build-asan/), and with Clang the fuzz target, with libFuzzer, and the generator's test
# (build-fuzz/); checks that a second build elsewhere gives the same bytes. Exits non-zero when
# anything fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/deps.sh test

# How long each step took, printed at the end, also when one fails.
steps=()
timed() {
    local name=$1 start=$SECONDS
    shift
    echo "== $name"
    "$@"
    steps+=("$(printf '%4d s  %s' $((SECONDS - start)) "$name")")
}
report() {
    local status=$?
    printf '%s\n' "${steps[@]}"
    printf '%4d s  in all\n' "$SECONDS"
    exit "$status"
}
trap report EXIT

# Every test stops by this time of day, so that a test that hangs fails under its own name
# well before a CI run's own limit ends the whole run with no name at all.
stop_time=$(date -d "@$(($(date +%s) + ${IDROVELA_MINUTI_TEST:-75} * 60))" +%H:%M:%S)
ctest_options=(--output-on-failure --timeout 300 --stop-time "$stop_time")

check_format() {
    local sources
    mapfile -t sources < <(git ls-files -- '*.cpp' '*.h')
    [ ${#sources[@]} -eq 0 ] || clang-format --dry-run --Werror "${sources[@]}"
}

timed formatting check_format
timed "the Windows program" tools/windows.sh "$top/build-windows"
timed "the browser program" tools/web.sh "$top/build-web"
timed build tools/build.sh "$top/build" -DIDROVELA_WINDOWS="$top/build-windows" \
    -DIDROVELA_WEB="$top/build-web"
# One commit gives the same bytes in any folder, at any hour, under any umask, time zone and
# locale: the Windows program, the browser program and the Debian package built once more from
# a copy of the sources elsewhere, and compared with those above.
timed "the same bytes from another folder" tools/reproducible.sh "$top/build-windows" \
    "$top/build-web" "$top/build"
timed "build with the sanitizers" tools/build.sh "$top/build-asan" -DIDROVELA_SANITIZE=ON
# With Clang, on top of the sanitizers: the fuzz target, with libFuzzer, and the generator's
# test, since the committed pictures and sound must come out of any compiler byte for byte.
timed "build with Clang" tools/build.sh "$top/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ \
    -DIDROVELA_SANITIZE=ON -DIDROVELA_FUZZ=ON --target fuzz_LettoreWave \
    --target tst_tools_Generatore

# The sound tests play through a private PulseAudio server and record its null sink.
timed tests tools/with-sound-server.sh \
    ctest --test-dir "$top/build" "${ctest_options[@]}" -j2
# Everything again under AddressSanitizer, UBSan and LeakSanitizer, the real program on its
# X server included, but for the Debian package, made from the normal build only, the quick
# benchmark pass, whose figures mean nothing under the sanitizers, the
# 100,000-input soak, which the normal build runs (here its 10,000 inputs), the Windows and
# browser programs, whose processes under Wine and Chromium are none of ours to sanitize, and
# the lesson with the real screen reader, whose timing a sanitized program would stretch while
# it adds nothing that the accessible tree's test does not already run under the sanitizers.
timed "tests under the sanitizers" tools/with-sound-server.sh \
    ctest --test-dir "$top/build-asan" "${ctest_options[@]}" -j2 \
    -LE 'packaging|lungo|bench|windows|web|orca'
# The WAVE reader and the sound routine under 200,000 inputs from libFuzzer.
timed fuzzing tools/with-sound-server.sh \
    ctest --test-dir "$top/build-fuzz" "${ctest_options[@]}" -L libfuzzer
timed "the generator built with Clang" \
    ctest --test-dir "$top/build-fuzz" "${ctest_options[@]}" -R '^tools/Generatore$'
