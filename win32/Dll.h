// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

// A function of a system DLL that only some uses need, loaded from the system's folder the
// first time it is asked for: the window starts without that DLL. Null when the DLL or the
// function is missing. The DLL stays loaded for the process's life.
FARPROC IndirizzoDll(const wchar_t* dll, const char* funzione);

template <class F> F* DaDll(const wchar_t* dll, const char* funzione)
{
    // Through the one pointer type that converts to every function's without a warning.
    return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(IndirizzoDll(dll, funzione)));
}
