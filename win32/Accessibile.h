// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// What a screen reader learns of one of our windows beyond what the system says of it by
// itself: its role, its name and description, and what its default action does. The window
// answers WM_GETOBJECT with Rispondi: the system's own object for its client area, with these
// in place of the system's answers. Whatever is left empty stays the system's.
struct Accessibile {
    enum class Ruolo {
        DelSistema,
        Grafico,
        Bottone,
        Raggruppamento,
        Dialogo,
    };
    Ruolo ruolo = Ruolo::DelSistema;
    std::function<std::wstring()> nome;
    std::function<std::wstring()> descrizione; // empty: none
    std::wstring azione; // the default action's name, with what it does
    std::function<void()> esegui;

    // The answer to WM_GETOBJECT: the object for the client area, 0 for any other.
    LRESULT Rispondi(HWND hwnd, WPARAM w, LPARAM l) const;
};
