// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The program's texts are UTF-8; Windows wants them in UTF-16, and gives them back so.
std::wstring Largo(const char* testo);
std::string Utf8(const wchar_t* testo);
