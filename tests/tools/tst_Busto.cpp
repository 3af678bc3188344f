// SPDX-License-Identifier: GPL-3.0-or-later
#include "Busto.h"

#include <QSet>
#include <QtTest>

namespace {

constexpr int Asse = 61; // the middle of columns 23 to 99

bool opaco(const QImage& immagine, int x, int y)
{
    return immagine.valid(x, y) && qAlpha(immagine.pixel(x, y)) > 127;
}

// First and last opaque column of a row, or an empty span (ultimo < primo).
QPair<int, int> campata(const QImage& immagine, int y)
{
    QPair<int, int> c { immagine.width(), -1 };
    for (int x = 0; x < immagine.width(); ++x) {
        if (opaco(immagine, x, y))
            c = { std::min(c.first, x), x };
    }
    return c;
}

int larghezza(const QImage& immagine, int y)
{
    const auto c = campata(immagine, y);
    return std::max(0, c.second - c.first + 1);
}

} // namespace

class tst_Busto : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_busto = Busto(); }
    void iconaA256Colori();
    void estensione();
    void marmoLilla();
    void sagoma_data();
    void sagoma();
    void rimpicciolito_data();
    void rimpicciolito();
    void luceDallAltoASinistra();
    void orloSenzaAlone();
    void sempreUguale() { QCOMPARE(Busto(), m_busto); }

private:
    QImage m_busto;
};

// Stored as an icon with 256 colours and a one-bit mask; yet modelled, so not posterised.
void tst_Busto::iconaA256Colori()
{
    QCOMPARE(m_busto.size(), QSize(128, 128));
    QCOMPARE(m_busto.format(), QImage::Format_ARGB32);
    QSet<QRgb> colori;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const int alfa = qAlpha(m_busto.pixel(x, y));
            QVERIFY2(alfa == 0 || alfa == 255, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            if (alfa == 255)
                colori.insert(m_busto.pixel(x, y));
        }
    }
    QVERIFY2(
        colori.size() >= 100 && colori.size() <= 255, qPrintable(QString::number(colori.size())));
}

void tst_Busto::estensione()
{
    QRect occupato;
    for (int y = 0; y < 128; ++y) {
        const auto c = campata(m_busto, y);
        if (c.second >= c.first)
            occupato |= QRect(QPoint(c.first, y), QPoint(c.second, y));
    }
    QCOMPARE(occupato, QRect(QPoint(23, 5), QPoint(99, 124)));
}

void tst_Busto::marmoLilla()
{
    double rosso = 0, verde = 0, blu = 0, quanti = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const QRgb p = m_busto.pixel(x, y);
            if (!opaco(m_busto, x, y))
                continue;
            // Every pixel, outline included, is a lilac grey: never greenish, never vivid.
            const int piu = std::max({ qRed(p), qGreen(p), qBlue(p) });
            const int meno = std::min({ qRed(p), qGreen(p), qBlue(p) });
            QVERIFY2(qGreen(p) == meno && piu - meno <= 24,
                qPrintable(QStringLiteral("#%1 at %2,%3").arg(p & 0xffffff, 6, 16).arg(x).arg(y)));
            rosso += qRed(p);
            verde += qGreen(p);
            blu += qBlue(p);
            ++quanti;
        }
    }
    QVERIFY2((blu - verde) / quanti >= 5.0 && (rosso - verde) / quanti >= 2.0, "no lilac tint");
    // White marble: bright on the whole, yet far from a white blot.
    QVERIFY(verde / quanti > 130.0 && verde / quanti < 210.0);
}

void tst_Busto::sagoma_data()
{
    QTest::addColumn<int>("da");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("minima");
    QTest::addColumn<int>("massima");

    QTest::newRow("the crown is rounded") << 5 << 7 << 1 << 20;
    QTest::newRow("the head is about half as wide as the shoulders") << 18 << 38 << 34 << 48;
    QTest::newRow("the beard is narrower than the head") << 44 << 58 << 24 << 38;
    QTest::newRow("the shoulders fill the width") << 85 << 100 << 77 << 77;
    QTest::newRow("the socle is narrower than the chest") << 113 << 124 << 14 << 42;
}

// The outline alone says "a head on shoulders on a socle", facing the viewer.
void tst_Busto::sagoma()
{
    QFETCH(int, da);
    QFETCH(int, a);
    QFETCH(int, minima);
    QFETCH(int, massima);
    for (int y = da; y <= a; ++y) {
        const auto c = campata(m_busto, y);
        const QString riga = QStringLiteral("row %1: %2-%3").arg(y).arg(c.first).arg(c.second);
        QVERIFY2(
            larghezza(m_busto, y) >= minima && larghezza(m_busto, y) <= massima, qPrintable(riga));
        QVERIFY2(std::abs(c.first + c.second - 2 * Asse) <= 4, qPrintable(riga));
    }
}

void tst_Busto::rimpicciolito_data()
{
    QTest::addColumn<int>("lato");

    QTest::newRow("in a large menu") << 48;
    QTest::newRow("on a panel") << 32;
    QTest::newRow("in a title bar") << 16;
}

// Shrunk smoothly, as a desktop shows it, the top third is still a rounded head clearly
// narrower than the shoulders below.
void tst_Busto::rimpicciolito()
{
    QFETCH(int, lato);
    const QImage piccolo
        = m_busto.scaled(lato, lato, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int testa = 0, spalle = 0;
    for (int y = 0; y <= lato / 3; ++y)
        testa = std::max(testa, larghezza(piccolo, y));
    for (int y = lato / 2; y <= lato * 4 / 5; ++y)
        spalle = std::max(spalle, larghezza(piccolo, y));
    QVERIFY2(testa >= 3 && 3 * testa <= 2 * spalle,
        qPrintable(QStringLiteral("head %1, shoulders %2").arg(testa).arg(spalle)));
    QVERIFY(larghezza(piccolo, 0) < testa);
}

void tst_Busto::luceDallAltoASinistra()
{
    double luce[2] = {}, quanti[2] = {};
    for (int y = 8; y < 46; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (opaco(m_busto, x, y) && x != Asse) {
                luce[x > Asse] += qGray(m_busto.pixel(x, y));
                ++quanti[x > Asse];
            }
        }
    }
    QVERIFY2(luce[0] / quanti[0] > luce[1] / quanti[1] + 20.0,
        qPrintable(QStringLiteral("%1 %2").arg(luce[0] / quanti[0]).arg(luce[1] / quanti[1])));
}

// An outline pixel has the colour of the marble it covers. Had the transparent background
// been mixed in, the outline would be a dark halo on any panel, clearly darker on average
// than the pixel just inside it.
void tst_Busto::orloSenzaAlone()
{
    double somma = 0;
    int quanti = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            for (const QPoint fuori :
                { QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1) }) {
                const QPoint dentro = QPoint(x, y) - fuori;
                if (opaco(m_busto, x, y) && !opaco(m_busto, x + fuori.x(), y + fuori.y())
                    && opaco(m_busto, dentro.x(), dentro.y())) {
                    somma += (qGray(m_busto.pixel(x, y)) + 1.0)
                        / (qGray(m_busto.pixel(dentro)) + 1.0);
                    ++quanti;
                }
            }
        }
    }
    QVERIFY(quanti > 200);
    QVERIFY2(somma / quanti > 0.86, qPrintable(QString::number(somma / quanti)));
}

QTEST_MAIN(tst_Busto)
#include "tst_Busto.moc"
