// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bmp.h"

#include <QDataStream>
#include <QIODevice>

QByteArray FileBmp(const QImage& immagine)
{
    const int larghezza = immagine.width();
    const int altezza = immagine.height();
    const quint32 riga = quint32((larghezza * 3 + 3) / 4 * 4);
    const quint32 pixel = riga * quint32(altezza);
    constexpr quint32 Intestazioni = 14 + 40;

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);

    out.writeRawData("BM", 2);
    out << quint32(Intestazioni + pixel) << quint16(0) << quint16(0) << Intestazioni;

    out << quint32(40) << qint32(larghezza) << qint32(altezza) << quint16(1) << quint16(24)
        << quint32(0) << pixel << qint32(3780) << qint32(3780) << quint32(0) << quint32(0);

    for (int y = altezza - 1; y >= 0; --y) {
        for (int x = 0; x < larghezza; ++x) {
            const QRgb c = immagine.pixel(x, y);
            out << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c));
        }
        for (quint32 n = quint32(larghezza * 3); n < riga; ++n)
            out << quint8(0);
    }
    return file;
}
