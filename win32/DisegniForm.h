// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// The window's own pictures, as icon images (a bitmap header, the colours and the
// transparency mask), carried in the executable as data.
namespace DisegniForm {

struct Disegno {
    const unsigned char* byte;
    std::size_t dimensione;
};

extern const Disegno CorpoGhiaccio;
extern const Disegno CorpoFerro;
extern const Disegno CorpoRame;
extern const Disegno CorpoLegno;
extern const Disegno Freccia32;
// The bust for the title bar and the taskbar, at 16, 32 and 48 pixels, with an alpha channel.
extern const Disegno Busto16;
extern const Disegno Busto32;
extern const Disegno Busto48;

} // namespace DisegniForm
