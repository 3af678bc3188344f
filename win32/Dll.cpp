// SPDX-License-Identifier: GPL-3.0-or-later
#include "Dll.h"

#include <string>

FARPROC IndirizzoDll(const wchar_t* dll, const char* funzione)
{
    HMODULE modulo = GetModuleHandleW(dll);
    if (!modulo) {
        // By its full path: never a file of that name beside the program.
        wchar_t cartella[MAX_PATH] {};
        const UINT lunghezza = GetSystemDirectoryW(cartella, MAX_PATH);
        if (!lunghezza || lunghezza >= MAX_PATH)
            return nullptr;
        modulo = LoadLibraryW((std::wstring(cartella) + L'\\' + dll).c_str());
    }
    return modulo ? GetProcAddress(modulo, funzione) : nullptr;
}
