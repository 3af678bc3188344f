// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// The resource table carried inside the program (resources/idrovela.qrc): bitmaps and raw
// data are found by number, the window's own pictures by what they show.
namespace Risorse {

// A new picture every call, no cache. Null when the table has no such bitmap.
QImage Bitmap(int id);

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

// One of the window's own pictures, with its transparency.
QImage Immagine(Disegno disegno);

} // namespace Risorse
