// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormatoGenerale.h"

#include <array>
#include <cctype>
#include <charconv>

std::string FormatoGenerale(double valore, const std::string& separatoreDecimale)
{
    // to_chars never looks at the C locale, unlike printf, which a Qt program has switched
    // to the user's locale by the time this runs.
    std::array<char, 64> buffer {};
    const auto [fine, errore] = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), valore, std::chars_format::general, 15);
    if (errore != std::errc())
        return {};

    std::string testo;
    for (const char* c = buffer.data(); c != fine; ++c) {
        if (*c == '.')
            testo += separatoreDecimale;
        else
            testo += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    }
    return testo;
}
