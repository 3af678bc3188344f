// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The marble bust, the program's icon: 128 x 128, every pixel either opaque or transparent, at
// most 255 opaque colours.
QImage Busto();
