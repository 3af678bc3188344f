// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Disposizione.h"

#include <algorithm>
#include <cmath>

// The window is designed in twips, 1/1440 inch: at 96 dots per inch 15 twips make a pixel.
// Every position and size of the layout goes through Px, rounded to the nearest pixel.
namespace Twips {

constexpr int PerPixel = 15;
constexpr int DpiStandard = 96;

inline int Px(double twips, int dpi = DpiStandard)
{
    return int(std::lround(twips * dpi / 1440.0));
}

} // namespace Twips

// What every window shares of its shape beyond the layout table.
namespace Geometria {

constexpr int LarghezzaClient = 7110; // twips: the client area under the menu bar
constexpr int AltezzaClient = 6000;
constexpr Disposizione::Colore SfondoForm { 199, 199, 199 };

// The drawing at 1x, 2x or 3x for a screen that shows this many device pixels per design
// pixel: the smallest at least as fine, within a hundredth, or the finest there is.
inline int ScalaDisegno(double pixelPerPixel)
{
    return std::clamp(int(std::ceil(pixelPerPixel - 0.01)), 1, 3);
}

} // namespace Geometria
