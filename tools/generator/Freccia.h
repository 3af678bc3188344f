// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The back arrow of the panels, pointing left, at 32 or 16 pixels: every pixel either opaque or
// transparent, at most 15 opaque colours.
QImage FrecciaIndietro(int lato);
