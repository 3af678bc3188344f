// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// The .bmp file of an opaque picture: 14-byte file header, 40-byte information header (24 bits
// per pixel, no compression, 3780 pixels per metre, rows from the bottom up), then the rows of
// blue-green-red triples, each filled out with zeros to a multiple of four bytes. Written
// byte by byte so that the format does not depend on an image library's choices.
QByteArray FileBmp(const QImage& immagine);
