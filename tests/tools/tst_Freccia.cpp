// SPDX-License-Identifier: GPL-3.0-or-later
#include "Freccia.h"

#include <QHash>
#include <QtTest>

namespace {

const QRgb Nero = qRgb(0, 0, 0);
const QRgb Ombra = qRgb(128, 128, 128);
const QRgb Frangia = qRgb(192, 192, 192);

bool di(const QImage& immagine, int x, int y, QRgb colore)
{
    return immagine.valid(x, y) && immagine.pixel(x, y) == colore;
}

// Top and bottom black row of a column, or (-1, -1) for a column without black.
QPair<int, int> nero(const QImage& immagine, int x)
{
    QPair<int, int> c { -1, -1 };
    for (int y = 0; y < immagine.height(); ++y) {
        if (di(immagine, x, y, Nero))
            c = { c.first < 0 ? y : c.first, y };
    }
    return c;
}

void dueDisegni()
{
    QTest::addColumn<int>("lato");

    QTest::newRow("the button's picture, 32 pixels") << 32;
    QTest::newRow("the small drawing, 16 pixels") << 16;
}

} // namespace

class tst_Freccia : public QObject {
    Q_OBJECT

private slots:
    void iconaA16Colori_data() { dueDisegni(); }
    void iconaA16Colori();
    void puntaASinistra_data() { dueDisegni(); }
    void puntaASinistra();
    void ombraEFrangia_data() { dueDisegni(); }
    void ombraEFrangia();
    void latoNonDisegnato_data();
    void latoNonDisegnato();
};

void tst_Freccia::iconaA16Colori()
{
    QFETCH(int, lato);
    const QImage freccia = FrecciaIndietro(lato);
    QCOMPARE(freccia.size(), QSize(lato, lato));
    QCOMPARE(freccia.format(), QImage::Format_ARGB32);
    QHash<QRgb, int> quanti;
    for (int y = 0; y < lato; ++y) {
        for (int x = 0; x < lato; ++x) {
            const QRgb p = freccia.pixel(x, y);
            QVERIFY2(qAlpha(p) == 0 || qAlpha(p) == 255, "the mask is one bit deep");
            if (qAlpha(p) == 255)
                ++quanti[p];
        }
    }
    QVERIFY(quanti.size() <= 15);
    // A solid black arrow: black outweighs shadow and fringe together.
    QVERIFY(quanti.value(Ombra) > 0 && quanti.value(Frangia) > 0);
    QVERIFY(quanti.value(Nero) > quanti.value(Ombra) + quanti.value(Frangia));
}

// A tip on the left that widens column by column into the head, the tallest part, in the
// left half; on the right a shaft that ends square and much lower.
void tst_Freccia::puntaASinistra()
{
    QFETCH(int, lato);
    const QImage freccia = FrecciaIndietro(lato);
    QList<int> altezze;
    for (int x = 0; x < lato; ++x) {
        const auto c = nero(freccia, x);
        if (c.first >= 0)
            altezze.append(c.second - c.first + 1);
    }
    QVERIFY(altezze.size() >= lato / 2);
    const int piuAlta = int(std::max_element(altezze.cbegin(), altezze.cend()) - altezze.cbegin());
    QVERIFY2(2 * piuAlta < altezze.size(), qPrintable(QString::number(piuAlta)));
    QVERIFY(altezze.first() <= 2);
    for (int k = 1; k <= piuAlta; ++k)
        QVERIFY(altezze[k] > altezze[k - 1]);
    QVERIFY(2 * altezze.last() <= altezze[piuAlta]);
}

// Lit from the upper right, the arrow casts its shadow under its whole lower edge (all but
// the back of the head and the square end) and left of the tip, and nowhere else; the
// fringe trails from the end of the shaft.
void tst_Freccia::ombraEFrangia()
{
    QFETCH(int, lato);
    const QImage freccia = FrecciaIndietro(lato);
    int colonne = 0, ombreggiate = 0, punta = -1, coda = -1;
    for (int x = 0; x < lato; ++x) {
        const int fondo = nero(freccia, x).second;
        if (fondo < 0)
            continue;
        punta = punta < 0 ? x : punta;
        coda = x;
        ++colonne;
        ombreggiate += di(freccia, x, fondo + 1, Ombra) ? 1 : 0;
    }
    QVERIFY2(ombreggiate >= colonne - 2, qPrintable(QString::number(ombreggiate)));
    QVERIFY(di(freccia, punta - 1, nero(freccia, punta).second + 1, Ombra));

    bool attaccata = false;
    for (int y = 0; y < lato; ++y) {
        for (int x = 0; x < lato; ++x) {
            const QString dove = QStringLiteral("%1,%2").arg(x).arg(y);
            if (di(freccia, x, y, Ombra)) {
                // Cast by black just above it or to its right, and never lying over black.
                bool proiettata = false;
                for (int d = 0; d < 9; ++d)
                    proiettata = proiettata || di(freccia, x + d % 3, y - d / 3, Nero);
                QVERIFY2(proiettata && !di(freccia, x, y + 1, Nero), qPrintable(dove));
            }
            if (di(freccia, x, y, Frangia)) {
                QVERIFY2(x > coda, qPrintable(dove));
                attaccata = attaccata || (x == coda + 1 && di(freccia, coda, y, Nero));
            }
        }
    }
    QVERIFY2(attaccata, "the fringe is cut off from the shaft");
}

void tst_Freccia::latoNonDisegnato_data()
{
    QTest::addColumn<int>("lato");

    QTest::newRow("a side of zero") << 0;
    QTest::newRow("a negative side") << -32;
    QTest::newRow("a size between the two drawings") << 24;
    QTest::newRow("a size larger than both") << 64;
    QTest::newRow("an absurd size") << (1 << 30);
}

// There is no drawing to scale from: other sizes get a null image, never a blurred one.
void tst_Freccia::latoNonDisegnato()
{
    QFETCH(int, lato);
    QVERIFY(FrecciaIndietro(lato).isNull());
}

QTEST_MAIN(tst_Freccia)
#include "tst_Freccia.moc"
