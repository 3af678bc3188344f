// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The liquid samples shown beside the liquid's density: a flat, irregular puddle seen from
// slightly above, on white, as wide as the picture. At a larger scale each is the same drawing
// that many times larger.

// Water: pale cyan, 67 x 28.
QImage PozzaAcqua(int scala = 1);
// Oil: the water's drawing in pale yellow, one row taller, 67 x 29.
QImage PozzaOlio(int scala = 1);
// Mercury and petrol: a drawing of its own in shaded, metallic greys, 67 x 25.
QImage PozzaGrigia(int scala = 1);
