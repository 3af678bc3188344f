// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// The resource table carried inside the program (resources/idrovela.qrc): bitmaps and raw
// data are found by number, the window's own pictures by what they show.
namespace Risorse {

// A new picture every call, no cache. Null when the table has no such bitmap.
QImage Bitmap(int id);
// The same picture for a screen of that many device pixels per pixel: drawn at 2x or 3x when
// the screen asks for more than the design size (the smallest drawing at least as large, or
// the largest), with its device pixel ratio set, so that it covers the design size.
QImage Bitmap(int id, qreal rapporto);

// The bytes exactly as stored; empty when the table has no such entry.
QByteArray Dati(int id, const char* tipo);

enum class Disegno {
    Busto, // the window's and the program's icon
    FrecciaIndietro, // the image-buttons that close the panels
    CorpoGhiaccio,
    CorpoFerro,
    CorpoRame,
    CorpoLegno,
};

// One of the window's own pictures, with its transparency; for a screen's pixel ratio as
// Bitmap does.
QImage Immagine(Disegno disegno);
QImage Immagine(Disegno disegno, qreal rapporto);

} // namespace Risorse
