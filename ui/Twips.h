// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>

#include <cmath>

// The window is designed in twips; 15 twips make one logical pixel. Every conversion goes
// through here, rounding to the nearest pixel.
namespace Twips {

constexpr int PerPixel = 15;

inline int Px(double twips)
{
    return int(std::lround(twips / PerPixel));
}

inline QRect Rettangolo(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

} // namespace Twips
