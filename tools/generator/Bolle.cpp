// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bolle.h"

#include <QDataStream>
#include <QIODevice>

// A stand-in until the real synthesis arrives: the right header over quiet noise.
QByteArray SuonoBolle()
{
    constexpr quint32 Campioni = 40215;
    QByteArray wave;
    QDataStream out(&wave, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(40264);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(11025) << quint32(11025) << quint16(1)
        << quint16(8);
    out.writeRawData("fact", 4);
    out << quint32(4) << Campioni;
    out.writeRawData("data", 4);
    out << Campioni;
    quint32 stato = 12345;
    for (quint32 n = 0; n < Campioni; ++n) {
        stato = stato * 1103515245u + 12345u;
        out << quint8(124 + (stato >> 16) % 9);
    }
    out << quint8(0);
    return wave;
}
