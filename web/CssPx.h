// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

// The window is designed in twips; the page lays it out in CSS pixels, 15 twips each, which the
// browser carries to any zoom and any screen density. Every position and size goes through Px,
// rounded to the nearest pixel, in the page's markup and in the program alike.
inline long Px(double twips)
{
    return std::lround(twips / 15.0);
}
