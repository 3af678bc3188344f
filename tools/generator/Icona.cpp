// SPDX-License-Identifier: GPL-3.0-or-later
#include "Icona.h"

#include <QDataStream>
#include <QHash>
#include <QIODevice>

namespace {

constexpr QRgb Nero = 0xFF000000;

QDataStream& Scrittura(QDataStream& out)
{
    out.setByteOrder(QDataStream::LittleEndian);
    return out;
}

void Intestazione(QDataStream& out, const QImage& immagine, int bit, quint32 dati)
{
    out << quint32(40) << qint32(immagine.width()) << qint32(2 * immagine.height()) << quint16(1)
        << quint16(bit) << quint32(0) << dati << qint32(0) << qint32(0) << quint32(0) << quint32(0);
}

int RigaMaschera(const QImage& immagine)
{
    return (immagine.width() + 31) / 32 * 4;
}

void Maschera(QDataStream& out, const QImage& immagine)
{
    const int riga = RigaMaschera(immagine);
    for (int y = immagine.height() - 1; y >= 0; --y) {
        QByteArray bit(riga, '\0');
        for (int x = 0; x < immagine.width(); ++x)
            if (qAlpha(immagine.pixel(x, y)) == 0)
                bit[x / 8] = char(quint8(bit[x / 8]) | (0x80 >> (x % 8)));
        out.writeRawData(bit.constData(), riga);
    }
}

struct Misure {
    int larghezza = 0;
    int altezza = 0;
    int bit = 0;
};

Misure Leggi(const QByteArray& immagineIcona)
{
    QDataStream in(immagineIcona);
    in.setByteOrder(QDataStream::LittleEndian);
    quint32 dimensione = 0;
    qint32 larghezza = 0;
    qint32 altezza = 0;
    quint16 piani = 0;
    quint16 bit = 0;
    in >> dimensione >> larghezza >> altezza >> piani >> bit;
    if (in.status() != QDataStream::Ok || dimensione != 40)
        return {};
    return { larghezza, altezza / 2, bit };
}

// Directory entries keep a size in one byte, where 0 stands for 256.
quint8 Byte(int lato)
{
    return quint8(lato & 0xFF);
}

void Voce(QDataStream& out, const QByteArray& immagineIcona)
{
    const Misure m = Leggi(immagineIcona);
    out << Byte(m.larghezza) << Byte(m.altezza) << quint8(m.bit < 8 ? 1 << m.bit : 0) << quint8(0)
        << quint16(1) << quint16(m.bit) << quint32(immagineIcona.size());
}

} // namespace

QByteArray ImmagineIcona(const QImage& immagine, int bit)
{
    if (bit != 8 && bit != 4)
        return {};
    const int colori = 1 << bit;
    const int perByte = 8 / bit;
    QList<QRgb> tavolozza { Nero };
    QHash<QRgb, quint8> indici { { Nero, 0 } };
    QByteArray pixel;
    const int riga = (immagine.width() * bit + 31) / 32 * 4;
    for (int y = immagine.height() - 1; y >= 0; --y) {
        QByteArray indiciRiga(riga, '\0');
        for (int x = 0; x < immagine.width(); ++x) {
            const QRgb c = immagine.pixel(x, y);
            if (qAlpha(c) == 0)
                continue;
            if (qAlpha(c) != 255)
                return {};
            if (!indici.contains(c)) {
                if (tavolozza.size() == colori)
                    return {};
                indici.insert(c, quint8(tavolozza.size()));
                tavolozza.append(c);
            }
            // The leftmost pixel of a byte takes its highest bits.
            const int spostamento = bit * (perByte - 1 - x % perByte);
            char& b = indiciRiga[x / perByte];
            b = char(quint8(b) | (indici.value(c) << spostamento));
        }
        pixel += indiciRiga;
    }

    QByteArray dati;
    QDataStream out(&dati, QIODevice::WriteOnly);
    Scrittura(out);
    Intestazione(
        out, immagine, bit, quint32(pixel.size() + RigaMaschera(immagine) * immagine.height()));
    for (int i = 0; i < colori; ++i) {
        const QRgb c = i < tavolozza.size() ? tavolozza[i] : 0;
        out << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(0);
    }
    out.writeRawData(pixel.constData(), int(pixel.size()));
    Maschera(out, immagine);
    return dati;
}

QByteArray ImmagineIconaArgb(const QImage& immagine)
{
    const QImage argb = immagine.convertToFormat(QImage::Format_ARGB32);
    QByteArray dati;
    QDataStream out(&dati, QIODevice::WriteOnly);
    Scrittura(out);
    Intestazione(out, argb, 32, quint32((4 * argb.width() + RigaMaschera(argb)) * argb.height()));
    for (int y = argb.height() - 1; y >= 0; --y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb c = argb.pixel(x, y);
            out << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(qAlpha(c));
        }
    Maschera(out, argb);
    return dati;
}

QByteArray GruppoIcone(const QByteArray& immagineIcona, quint16 identificatore)
{
    QByteArray gruppo;
    QDataStream out(&gruppo, QIODevice::WriteOnly);
    Scrittura(out) << quint16(0) << quint16(1) << quint16(1);
    Voce(out, immagineIcona);
    out << identificatore;
    return gruppo;
}

QByteArray FileIco(const QList<QByteArray>& immaginiIcona)
{
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    Scrittura(out) << quint16(0) << quint16(1) << quint16(immaginiIcona.size());
    quint32 posizione = quint32(6 + 16 * immaginiIcona.size());
    for (const QByteArray& immagine : immaginiIcona) {
        Voce(out, immagine);
        out << posizione;
        posizione += quint32(immagine.size());
    }
    for (const QByteArray& immagine : immaginiIcona)
        out.writeRawData(immagine.constData(), int(immagine.size()));
    return file;
}
