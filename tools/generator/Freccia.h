// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The back arrow that closes a panel: black, pointing left, with a mid-grey shadow along its
// lower-left edges and a light-grey fringe trailing from its right end. Drawn pixel by pixel
// for a side (lato) of 32 or 16: Format_ARGB32, alpha 0 or 255, three opaque colours. Any
// other side gives a null image. At a larger scale the same drawing that many times larger.
QImage FrecciaIndietro(int lato, int scala = 1);
