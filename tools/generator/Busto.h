// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The program's icon: a marble bust of a bearded old man, front view, on a transparent
// square of 128 x 128. Format_ARGB32 with alpha 0 or 255 only and at most 255 opaque
// colours, so that it can be stored as a 256-colour icon with a one-bit mask. The same
// bytes come out on every call. At a larger scale the same sculpture that many times larger.
QImage Busto(int scala = 1);
