// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormatoGenerale.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

std::string FormatoGenerale(double valore, const std::string& separatoreDecimale)
{
    // to_chars never looks at the C locale, unlike printf, which a Qt program has switched
    // to the user's locale by the time this runs.
    std::array<char, 64> buffer {};
#if defined(__cpp_lib_to_chars)
    const auto [fine, errore] = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), valore, std::chars_format::general, 15);
    if (errore != std::errc())
        return {};
#else
    // A standard library without to_chars for doubles (the browser's): printf's %G is the same
    // format, and the browser's program never leaves the C locale.
    const int n = std::snprintf(buffer.data(), buffer.size(), "%.15G", valore);
    if (n < 0 || std::size_t(n) >= buffer.size())
        return {};
    const char* const fine = buffer.data() + n;
#endif

    std::string testo;
    for (const char* c = buffer.data(); c != fine; ++c) {
        if (*c == '.')
            testo += separatoreDecimale;
        else
            testo += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    }
    return testo;
}
