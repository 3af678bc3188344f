#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the date that every artefact carries, in seconds since 1970: SOURCE_DATE_EPOCH when it
# is set, else the date of the last commit, else (a copy without its history) the date of the
# changelog's latest entry. Two builds of one commit then hold the same dates whenever they run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    echo "$SOURCE_DATE_EPOCH"
elif git -C "$top" rev-parse --git-dir >/dev/null 2>&1; then
    git -C "$top" log -1 --format=%ct
else
    date -d "$(sed -n 's/^ -- .*>  //p' "$top/packaging/debian/changelog" | head -n 1)" +%s
fi
