// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

// The window procedure of a class whose objects handle their own window's messages: the
// object comes in CreateWindowExW's last argument and stays in the window's user data until
// the window's last message, when it lets go of the handle.
template <class T> LRESULT CALLBACK Procedura(HWND hwnd, UINT messaggio, WPARAM w, LPARAM l)
{
    if (messaggio == WM_NCCREATE) {
        auto* oggetto = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        oggetto->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(oggetto));
    }
    auto* oggetto = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!oggetto)
        return DefWindowProcW(hwnd, messaggio, w, l);
    if (messaggio == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        oggetto->m_hwnd = nullptr;
        return DefWindowProcW(hwnd, messaggio, w, l);
    }
    return oggetto->Gestisci(messaggio, w, l);
}
