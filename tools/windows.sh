#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing and cross-compiles the Windows program into build-windows/ (or the
# folder given), then packages it:
#   Idrovela.exe                   the program, one static executable
#   Idrovela-1.00-setup.exe        its installer (NSIS; "/S" installs silently)
#   Idrovela-1.00-portable.zip     the bare executable, to run from any folder or stick
#   Idrovela-1.00.msi              the Windows Installer package, per machine, for school IT
#   SHA256SUMS                     the SHA-256 of each, to compare with the published files
# The benchmark's Windows programs are built there too, in bin/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build-windows}
version=1.00
"$top/tools/deps.sh" windows
# The same commit gives the same bytes: every date in the artefacts is the last commit's.
SOURCE_DATE_EPOCH=$("$top/tools/source-date.sh")
export SOURCE_DATE_EPOCH
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DIDROVELA_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$top/tools/mingw-w64-x86_64.cmake" -DIDROVELA_TESTS=OFF >/dev/null
cmake --build "$out" -j2
cp "$out/bin/Idrovela.exe" "$out/Idrovela.exe"
# The licence as Windows's own editors read it: Notepad before Windows 10 shows a file with
# bare line feeds as one long line. The installers and the zip all carry this copy.
sed 's/$/\r/' "$top/LICENSE" >"$out/Licenza.txt"

makensis -V2 -NOCD -DTOP="$top" -DEXE="$out/Idrovela.exe" -DLICENZA="$out/Licenza.txt" \
    -DOUT="$out/Idrovela-$version-setup.exe" "$top/packaging/windows/Idrovela.nsi"
"$top/tools/msi.sh" "$version" "$out/Idrovela.exe" "$out/Licenza.txt" "$out/Idrovela-$version.msi"

# The zip holds the files under the names a Windows user reads, and nothing of this machine's.
portable=$(mktemp -d)
trap 'rm -rf "$portable"' EXIT
cp "$out/Idrovela.exe" "$portable/Idrovela.exe"
cp "$out/Licenza.txt" "$portable/Licenza.txt"
rm -f "$out/Idrovela-$version-portable.zip"
(cd "$portable" && zip -q -X -9 "$out/Idrovela-$version-portable.zip" Idrovela.exe Licenza.txt)
# Members in order, dated by the commit in UTC, with modes that do not follow the umask.
TZ=UTC strip-nondeterminism --type zip --timestamp "$SOURCE_DATE_EPOCH" \
    "$out/Idrovela-$version-portable.zip"
(cd "$out" && sha256sum Idrovela.exe "Idrovela-$version-setup.exe" "Idrovela-$version.msi" \
    "Idrovela-$version-portable.zip" >SHA256SUMS)
ls -l "$out/Idrovela.exe" "$out/Idrovela-$version-setup.exe" "$out/Idrovela-$version-portable.zip" \
    "$out/Idrovela-$version.msi"
