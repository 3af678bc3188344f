// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Geometria.h"

#include <QRect>

namespace Twips {

inline QRect Rettangolo(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

} // namespace Twips
