// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

// The colour schemes a pupil's Windows may have: the standard one and High Contrast Black and
// White, as the system colours that the window and its controls use.
namespace SchemiColori {

constexpr UINT Messaggio = WM_APP + 0x5C0; // asks the hook to switch to the scheme in wParam

constexpr std::size_t Colori = 13;

struct Schema {
    std::array<INT, Colori> indici;
    std::array<COLORREF, Colori> valori;
};

constexpr std::array<INT, Colori> Indici { COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE,
    COLOR_BTNTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_MENU, COLOR_MENUTEXT,
    COLOR_MENUBAR, COLOR_MENUHILIGHT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT };

constexpr COLORREF Nero = RGB(0, 0, 0);
constexpr COLORREF Bianco = RGB(255, 255, 255);

// In the order of Indici.
constexpr std::array<Schema, 3> Schemi { {
    { Indici,
        { Bianco, Nero, RGB(240, 240, 240), Nero, RGB(0, 120, 215), Bianco, RGB(109, 109, 109),
            RGB(240, 240, 240), Nero, RGB(240, 240, 240), RGB(0, 120, 215), RGB(160, 160, 160),
            Bianco } },
    { Indici,
        { Nero, Bianco, Nero, Bianco, RGB(26, 235, 255), Nero, RGB(63, 242, 63), Nero, Bianco, Nero,
            RGB(26, 235, 255), Bianco, Bianco } },
    { Indici,
        { Bianco, Nero, Bianco, Nero, RGB(55, 0, 110), Bianco, RGB(96, 0, 0), Bianco, Nero, Bianco,
            RGB(55, 0, 110), Nero, Nero } },
} };

} // namespace SchemiColori
