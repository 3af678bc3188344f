// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// The Windows icon formats. An icon image is a 40-byte bitmap header whose height counts the
// picture and its mask, the pixels from the bottom up and a one-bit mask (1 = transparent).

// 256 colours (bit 8: a 256-entry colour table, one index a byte) or 16 (bit 4: a 16-entry
// table, two indices a byte). The picture must be fully opaque or fully transparent in every
// pixel and hold at most 255 (or 15) opaque colours besides black, which transparent pixels
// use; otherwise, or for any other bit count, the result is empty.
QByteArray ImmagineIcona(const QImage& immagine, int bit = 8);

// True colour with alpha, for the small sizes of an .ico file.
QByteArray ImmagineIconaArgb(const QImage& immagine);

// The 20-byte directory of an icon group with one image: its size, colours and identifier.
QByteArray GruppoIcone(const QByteArray& immagineIcona, quint16 identificatore);

// An .ico file holding the given icon images, in that order.
QByteArray FileIco(const QList<QByteArray>& immaginiIcona);
