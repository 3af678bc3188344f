// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

// The window is designed in twips, 1/1440 inch: at 96 dots per inch 15 twips make a pixel.
// Every position and size of the layout goes through Px, rounded to the nearest pixel.
namespace Twips {

constexpr int DpiStandard = 96;

inline int Px(double twips, int dpi)
{
    return int(std::lround(twips * dpi / 1440.0));
}

} // namespace Twips
