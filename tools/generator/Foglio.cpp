// SPDX-License-Identifier: GPL-3.0-or-later
#include "Foglio.h"

#include <QFont>
#include <QFontMetrics>
#include <QList>
#include <QPainter>

namespace {

constexpr int Ingrandimento = 4;
constexpr int Margine = 24;
constexpr int LarghezzaMassima = 3600;

struct Provino {
    QString nome;
    QImage immagine;
};

QImage Scacchiera(QSize dimensione)
{
    QImage scacchi(dimensione, QImage::Format_ARGB32);
    for (int y = 0; y < scacchi.height(); ++y)
        for (int x = 0; x < scacchi.width(); ++x)
            scacchi.setPixel(x, y, ((x / 8 + y / 8) % 2) ? 0xFFE4E4E4 : 0xFFFAFAFA);
    return scacchi;
}

} // namespace

QImage FoglioProvini(const QMap<QString, QByteArray>& file, const QMap<QString, QString>& numeri)
{
    QList<Provino> provini;
    for (auto it = file.cbegin(); it != file.cend(); ++it) {
        // The drawings at 2x and 3x are the same pictures, already shown at their design size.
        if ((!it.key().endsWith(".bmp") && !it.key().endsWith(".png")) || it.key().contains('@'))
            continue;
        const QImage immagine = QImage::fromData(it.value());
        if (!immagine.isNull())
            provini.append(
                { numeri.contains(it.key()) ? numeri[it.key()] + "  " + it.key() : it.key(),
                    immagine });
    }

    QFont font;
    font.setPixelSize(20);
    const QFontMetrics metriche(font);
    const int riga = metriche.height();

    // Left to right, a new line when the next picture would not fit.
    QList<QRect> posti;
    int x = Margine;
    int y = Margine;
    int altezzaRiga = 0;
    int larghezza = 0;
    for (const Provino& p : provini) {
        const QSize grande = p.immagine.size() * Ingrandimento;
        const int w = qMax(grande.width(), metriche.horizontalAdvance(p.nome));
        if (x > Margine && x + w > LarghezzaMassima) {
            x = Margine;
            y += altezzaRiga + Margine;
            altezzaRiga = 0;
        }
        posti.append(QRect(QPoint(x, y), grande));
        altezzaRiga = qMax(altezzaRiga, grande.height() + 2 * riga + 8);
        larghezza = qMax(larghezza, x + w);
        x += w + Margine;
    }

    QImage foglio(larghezza + Margine, y + altezzaRiga + Margine, QImage::Format_ARGB32);
    foglio.fill(0xFFFFFFFF);
    QPainter pittore(&foglio);
    pittore.setFont(font);
    pittore.setPen(Qt::black);
    for (int i = 0; i < provini.size(); ++i) {
        const QRect& r = posti[i];
        const QImage& immagine = provini[i].immagine;
        // A frame just outside the picture, so that a white background shows its edges.
        pittore.setPen(QColor(0x90, 0x90, 0x90));
        pittore.drawRect(r.adjusted(-1, -1, 0, 0));
        pittore.setPen(Qt::black);
        pittore.drawImage(r.topLeft(), Scacchiera(r.size()));
        pittore.drawImage(
            r, immagine.scaled(r.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
        const int base = r.bottom() + 4 + metriche.ascent();
        pittore.drawText(r.left(), base, provini[i].nome);
        pittore.drawText(r.left(), base + riga,
            QStringLiteral("%1 × %2").arg(immagine.width()).arg(immagine.height()));
    }
    return foglio;
}
