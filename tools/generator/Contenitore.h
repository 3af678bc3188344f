// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The glass tank, 287 x 366, in exactly four colours: grey background, the liquid, the white
// highlight and the black outlines. The window's layout and the run's limits are measured on
// its rim, surface and floor rows, so those never move whatever the liquid. At a larger scale
// the same drawing, every length and line that many times longer and thicker.
QImage Contenitore(QRgb liquido, int scala = 1);
