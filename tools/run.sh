#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Idrovela and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/deps.sh" run
"$top/tools/build.sh" "$top/build"
if [ ! -x "$top/build/bin/idrovela" ]; then
    echo "Built the experiment core; the window is not there yet, so there is nothing to start."
    exit 0
fi
exec "$top/build/bin/idrovela"
