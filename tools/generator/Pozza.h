// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The liquid samples shown beside the liquid's density: a flat, irregular puddle seen from
// slightly above, on white, as wide as the picture.

// Water: pale cyan, 67 x 28.
QImage PozzaAcqua();
// Oil: the water's drawing in pale yellow, one row taller, 67 x 29.
QImage PozzaOlio();
// Mercury and petrol: a drawing of its own in shaded, metallic greys, 67 x 25.
QImage PozzaGrigia();
