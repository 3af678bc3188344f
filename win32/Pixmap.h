// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// A picture as our own pixels, 0xAARRGGBB, top row first. A bitmap is opaque; an icon is
// opaque or transparent in each pixel, as its mask says. Pictures are drawn for 96 dots per
// inch and are resampled here for other screens, once per scale, rather than stretched by
// GDI at every paint.
struct Pixmap {
    int larghezza = 0;
    int altezza = 0;
    std::vector<std::uint32_t> pixel;

    bool Vuota() const { return pixel.empty(); }
    std::uint32_t Alpha(int x, int y) const
    {
        return pixel[std::size_t(y) * std::size_t(larghezza) + std::size_t(x)] >> 24;
    }
};

Pixmap DaBitmap(HBITMAP bitmap);
Pixmap DaIcona(HICON icona);
// A PNG file held by the program as raw data (RCDATA), decoded by the system's imaging
// component; empty when there is no such resource or it cannot be decoded.
Pixmap DaPng(HINSTANCE istanza, int id);

// Each new pixel is the mean of the old ones under it, weighted by the area they cover and by
// their opacity, so a transparent pixel lends the picture no colour. Grown by a whole factor,
// every pixel is copied exactly.
Pixmap Ricampiona(const Pixmap& sorgente, int larghezza, int altezza);

// An opaque bitmap to blit: the transparent pixels take the colour behind.
HBITMAP BitmapSu(const Pixmap& pixmap, COLORREF sfondo);
// An icon with an alpha channel and a mask, for the title bar and the taskbar.
HICON IconaDa(const Pixmap& pixmap);
