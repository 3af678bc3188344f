// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// A number as the general format shows it: at most 15 significant digits, no trailing zeros,
// a leading zero below 1, no grouping, and the given decimal separator (the user's locale
// supplies it; it may be more than one byte in UTF-8). Independent of the C locale.
std::string FormatoGenerale(double valore, const std::string& separatoreDecimale);
