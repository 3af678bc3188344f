// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProvaWave.h"

#include "LettoreWave.h"
#include "Module1.h"

#include <QtEndian>

namespace {

quint32 DoppiaParola(QByteArrayView immagine, qsizetype pos)
{
    return qFromLittleEndian<quint32>(immagine.data() + pos);
}

bool Uguali(const LettoreWave::Campioni& a, const LettoreWave::Campioni& b)
{
    return a.canali == b.canali && a.frequenza == b.frequenza && a.bit == b.bit
        && a.inizio == b.inizio && a.lunghezza == b.lunghezza;
}

QString Limiti(const LettoreWave::Campioni& c, QByteArrayView immagine)
{
    if ((c.canali != 1 && c.canali != 2) || (c.bit != 8 && c.bit != 16) || c.frequenza <= 0
        || c.frequenza > 384000)
        return QStringLiteral("a format no sound device takes as it is: %1 channels, %2 bits, "
                              "%3 Hz")
            .arg(c.canali)
            .arg(c.bit)
            .arg(c.frequenza);
    if (c.inizio < 20 || c.lunghezza <= 0 || c.lunghezza % (c.canali * c.bit / 8) != 0)
        return QStringLiteral("samples at %1, %2 bytes").arg(c.inizio).arg(c.lunghezza);
    // The samples lie in a data chunk that says at least as much, inside the RIFF chunk, which
    // lies inside the image.
    const qint64 fineRiff = qint64(DoppiaParola(immagine, 4)) + 8;
    if (fineRiff > immagine.size() || c.inizio + c.lunghezza > fineRiff)
        return QStringLiteral("samples %1..%2 outside the RIFF chunk of %3 bytes in an image of %4")
            .arg(c.inizio)
            .arg(c.inizio + c.lunghezza)
            .arg(fineRiff)
            .arg(immagine.size());
    if (immagine.sliced(c.inizio - 8, 4) != "data"
        || DoppiaParola(immagine, c.inizio - 4) < c.lunghezza)
        return QStringLiteral("the samples at %1 are not those of a data chunk").arg(c.inizio);
    return {};
}

} // namespace

QString ProvaWave(QByteArrayView immagine)
{
    const std::optional<LettoreWave::Campioni> letto
        = LettoreWave::Leggi(immagine.constData(), immagine.size());
    if (letto) {
        const QString errore = Limiti(*letto, immagine);
        if (!errore.isEmpty())
            return errore;
        // Every byte the reader promised, copied: one outside the image stops the sanitizer.
        const QByteArray campioni = immagine.sliced(letto->inizio, letto->lunghezza).toByteArray();
        if (campioni.size() != letto->lunghezza)
            return QStringLiteral("the samples could not be copied");

        const QByteArray conCoda = immagine.toByteArray() + QByteArray("LIST\xff\xff\xff\xff", 8);
        const std::optional<LettoreWave::Campioni> conLaCoda
            = LettoreWave::Leggi(conCoda.constData(), conCoda.size());
        if (!conLaCoda || !Uguali(*conLaCoda, *letto))
            return QStringLiteral("bytes after the RIFF chunk changed the reading");
        const qsizetype fineRiff = qsizetype(DoppiaParola(immagine, 4)) + 8;
        if (LettoreWave::Leggi(immagine.constData(), fineRiff - 1))
            return QStringLiteral("an image one byte shorter than its RIFF chunk was taken");
    }

    Module1::RiproduciImmagine(immagine.toByteArray());
    if (Module1::DatiSuono != immagine)
        return QStringLiteral("DatiSuono does not hold the image as it was given");
    return {};
}
