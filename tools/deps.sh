#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that are missing for building and running Idrovela ("run"),
# for its Debian package ("package"), for the benchmark ("bench"), for the Windows program
# ("windows"), for the browser program ("web"), or for the whole test suite as well ("test").
# Installs nothing when all are there.
set -euo pipefail

build=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev libpulse-dev
    fonts-liberation2)
# AT-SPI and a session bus for the screen-reader tests; the real screen reader speaking
# Italian through speech-dispatcher and espeak-ng, Qt's Italian translations, and the locale
# data from which the test makes it_IT.UTF-8 when the system lacks it, and Chromium's own
# Italian words for the screen reader's lesson in the browser; lintian for the Debian package,
# unzip for the Windows zip, diffoscope to show what differs when two builds of one commit do
# not give the same bytes; Qt's GTK platform theme, through which a dark desktop theme reaches
# the window; Node, with npm, for the browser page's checkers (below).
tests=(git clang-format xvfb xauth xdotool x11-utils openbox pulseaudio pulseaudio-utils
    binutils-mingw-w64-x86-64 cpp desktop-file-utils appstream clang libclang-rt-14-dev
    dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 orca speech-dispatcher
    speech-dispatcher-espeak-ng espeak-ng qt6-translations-l10n chromium-l10n locales lintian
    unzip diffoscope-minimal qt6-gtk-platformtheme nodejs)

# strip-nondeterminism takes the builder's user, umask and clock out of the archives.
packaging=(dpkg-dev file strip-nondeterminism)
# The Windows program is cross-compiled, packaged with NSIS and as an MSI (wixl, and msitools
# to finish the package and read it back) and tested under Wine, whose X driver loads the X
# extensions' libraries when it finds them (they are only recommended).
windows=(cmake ninja-build g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 nsis zip wixl msitools
    strip-nondeterminism wine wine64 libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1
    libxcomposite1 libxfixes3)
# The browser program is built with Emscripten (its page by a tool for the build machine, which
# packs the resources with zlib) and tested in Chromium through Selenium, its sound recorded,
# and in Firefox ESR (through its own Marionette protocol) and WebKitGTK (through its driver,
# on a private X server, in an Italian locale made from the locale data where none is installed).
web=(cmake ninja-build g++ zlib1g-dev emscripten zip strip-nondeterminism chromium chromium-driver
    python3-selenium python3-pil python3-numpy pulseaudio pulseaudio-utils fonts-liberation2
    firefox-esr webkit2gtk-driver xvfb locales)
# The benchmark watches the X server with DAMAGE and clicks through XTEST.
bench=(xvfb pulseaudio pulseaudio-utils libx11-dev libxdamage-dev libxtst-dev)

wanted=("${build[@]}")
case "${1:-run}" in
test) wanted+=("${tests[@]}" "${packaging[@]}" "${bench[@]}" "${windows[@]}" "${web[@]}") ;;
bench) wanted+=("${bench[@]}") ;;
package) wanted+=("${packaging[@]}") ;;
windows) wanted=("${windows[@]}") ;;
web) wanted=("${web[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done
[ "${1:-run}" != test ] || command -v npm >/dev/null || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser page's checkers for the tests, pinned in web/package-lock.json, into
# web/node_modules; again only when the lock has changed since.
web=$(cd "$(dirname "$0")/../web" && pwd)
if [ "${1:-run}" = test ] && ! cmp -s "$web/package-lock.json" "$web/node_modules/.idrovela-lock"
then
    # Node trusts its own list of authorities, not the system's: a network whose proxy signs
    # with an authority the system trusts would otherwise refuse the registry.
    npm_ca=()
    [ ! -f /etc/ssl/certs/ca-certificates.crt ] || npm_ca=(--cafile /etc/ssl/certs/ca-certificates.crt)
    (cd "$web" && npm ci --no-audit --no-fund --loglevel=error "${npm_ca[@]}")
    cp "$web/package-lock.json" "$web/node_modules/.idrovela-lock"
fi
