// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// A square picture made smaller by averaging the area that each new pixel covers, with its
// transparency: the desktop's icon sizes from the 128-pixel bust. Our own arithmetic, so the
// result does not change with the image library's scaler.
QImage Rimpicciolisci(const QImage& immagine, int lato);

// A picture made larger by a whole factor, each pixel repeated: the large icons that an
// installed web app shows, as sharp as the bust's own pixels.
QImage Ingrandisci(const QImage& immagine, int fattore);
