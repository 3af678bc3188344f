// SPDX-License-Identifier: GPL-3.0-or-later
#include "Testo.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

std::wstring Largo(const char* testo)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, testo, -1, nullptr, 0);
    std::wstring largo(std::size_t(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, testo, -1, largo.data(), n);
    largo.resize(std::wcslen(largo.c_str()));
    return largo;
}

std::string Utf8(const wchar_t* testo)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, testo, -1, nullptr, 0, nullptr, nullptr);
    std::string stretto(std::size_t(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, testo, -1, stretto.data(), n, nullptr, nullptr);
    stretto.resize(std::strlen(stretto.c_str()));
    return stretto;
}
