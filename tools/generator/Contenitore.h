// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The glass tank, 287 x 366, in exactly four colours: grey background, the liquid, the white
// highlight and the black outlines. The window's layout and the run's limits are measured on
// its rim, surface and floor rows, so those never move whatever the liquid.
QImage Contenitore(QRgb liquido);
