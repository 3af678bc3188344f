// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string>

// A question with Yes and No, in Italian whatever the system's language, Yes the default:
// true for Yes.
bool DomandaSiNo(HWND finestra, const std::string& testo, const std::string& titolo);
