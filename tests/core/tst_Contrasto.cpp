// SPDX-License-Identifier: GPL-3.0-or-later
#include "Contrasto.h"

#include <QtTest>

using Colore = Disposizione::Colore;
Q_DECLARE_METATYPE(Colore)

namespace {

constexpr Colore GrigioForm { 199, 199, 199 };
constexpr Colore TestoScuro { 238, 238, 236 }; // a dark theme's text
constexpr Colore FacciaScura { 53, 53, 53 };
constexpr Colore FacciaChiara { 239, 239, 239 };

QString Testo(Colore c)
{
    return QStringLiteral("(%1, %2, %3)").arg(c.r).arg(c.g).arg(c.b);
}

} // namespace

class tst_Contrasto : public QObject {
    Q_OBJECT

private slots:
    void rapporto_data();
    void rapporto();
    void colore_data();
    void colore();
    void altoContrasto_data();
    void altoContrasto();
};

void tst_Contrasto::rapporto_data()
{
    QTest::addColumn<Colore>("a");
    QTest::addColumn<Colore>("b");
    QTest::addColumn<double>("atteso");

    QTest::newRow("black on white is 21") << Contrasto::Nero << Contrasto::Bianco << 21.0;
    QTest::newRow("the same either way round") << Contrasto::Bianco << Contrasto::Nero << 21.0;
    QTest::newRow("a colour on itself is 1") << GrigioForm << GrigioForm << 1.0;
    QTest::newRow("black on the window's grey") << Contrasto::Nero << GrigioForm << 12.42;
    QTest::newRow("a dark theme's text on the window's grey") << TestoScuro << GrigioForm << 1.46;
    QTest::newRow("the panels' blue on their cyan")
        << Disposizione::Blu << Disposizione::Azzurro << 7.77;
    QTest::newRow("the panels' red on their cyan")
        << Disposizione::Rosso << Disposizione::Azzurro << 3.62;
    QTest::newRow("a dark channel below the knee is linear")
        << Colore { 10, 10, 10 } << Contrasto::Nero << 1.06;
}

void tst_Contrasto::rapporto()
{
    QFETCH(Colore, a);
    QFETCH(Colore, b);
    QFETCH(double, atteso);

    QCOMPARE(qRound(Contrasto::Rapporto(a, b) * 100), qRound(atteso * 100));
}

void tst_Contrasto::colore_data()
{
    QTest::addColumn<int>("tipo"); // 0 text, 1 indicator, 2 background
    QTest::addColumn<Colore>("sfondo"); // the background behind; a background's own design
    QTest::addColumn<Colore>("progetto");
    QTest::addColumn<Colore>("sistema");
    QTest::addColumn<bool>("altoContrasto");
    QTest::addColumn<Colore>("atteso");

    const Colore sistema = Disposizione::Sistema;
    QTest::newRow("a density in a light theme keeps the system's black")
        << 0 << GrigioForm << sistema << Contrasto::Nero << false << Contrasto::Nero;
    QTest::newRow("a density in a dark theme turns black, not the theme's near-white")
        << 0 << GrigioForm << sistema << TestoScuro << false << Contrasto::Nero;
    QTest::newRow("a system text that reads on the grey stays the system's")
        << 0 << GrigioForm << sistema << Colore { 0, 0, 128 } << false << Colore { 0, 0, 128 };
    QTest::newRow("a density under high contrast takes the system's white")
        << 0 << Contrasto::Nero << sistema << Contrasto::Bianco << true << Contrasto::Bianco;
    QTest::newRow("a panel's blue stays blue in a dark theme")
        << 0 << Disposizione::Azzurro << Disposizione::Blu << TestoScuro << false
        << Disposizione::Blu;
    QTest::newRow("a panel's blue gives way under high contrast")
        << 0 << Contrasto::Nero << Disposizione::Blu << Colore { 255, 255, 0 } << true
        << Colore { 255, 255, 0 };
    QTest::newRow("a text on a colour where neither reads takes white")
        << 0 << Colore { 20, 20, 20 } << sistema << Colore { 40, 40, 40 } << false
        << Contrasto::Bianco;
    QTest::newRow("a ring in the theme's text colour stands out on a dark face")
        << 1 << FacciaScura << sistema << TestoScuro << false << TestoScuro;
    QTest::newRow("a ring of a light text on cyan turns black")
        << 1 << Disposizione::Azzurro << sistema << TestoScuro << false << Contrasto::Nero;
    QTest::newRow("a ring at 3:1 is enough")
        << 1 << Contrasto::Bianco << sistema << Colore { 148, 148, 148 } << false
        << Colore { 148, 148, 148 };
    QTest::newRow("the window's grey stays in a dark theme")
        << 2 << GrigioForm << sistema << FacciaScura << false << GrigioForm;
    QTest::newRow("the window's grey gives way under high contrast")
        << 2 << GrigioForm << sistema << Contrasto::Nero << true << Contrasto::Nero;
    QTest::newRow("a system face is the system's")
        << 2 << sistema << sistema << FacciaScura << false << FacciaScura;
}

void tst_Contrasto::colore()
{
    QFETCH(int, tipo);
    QFETCH(Colore, sfondo);
    QFETCH(Colore, progetto);
    QFETCH(Colore, sistema);
    QFETCH(bool, altoContrasto);
    QFETCH(Colore, atteso);

    const Colore colore = tipo == 0 ? Contrasto::TestoSu(sfondo, progetto, sistema, altoContrasto)
        : tipo == 1                 ? Contrasto::IndicatoreSu(sfondo, sistema)
                                    : Contrasto::Sfondo(sfondo, sistema, altoContrasto);
    QCOMPARE(Testo(colore), Testo(atteso));
}

void tst_Contrasto::altoContrasto_data()
{
    QTest::addColumn<Colore>("finestra");
    QTest::addColumn<Colore>("testo");
    QTest::addColumn<Colore>("faccia");
    QTest::addColumn<bool>("atteso");

    QTest::newRow("white on black is high contrast")
        << Contrasto::Nero << Contrasto::Bianco << Contrasto::Nero << true;
    QTest::newRow("black on white is high contrast")
        << Contrasto::Bianco << Contrasto::Nero << Contrasto::Bianco << true;
    QTest::newRow("an ordinary light theme is not")
        << Colore { 246, 245, 244 } << Contrasto::Nero << FacciaChiara << false;
    QTest::newRow("an ordinary dark theme is not")
        << FacciaScura << TestoScuro << FacciaScura << false;
    QTest::newRow("black on white windows with grey buttons is not")
        << Contrasto::Bianco << Contrasto::Nero << FacciaChiara << false;
}

void tst_Contrasto::altoContrasto()
{
    QFETCH(Colore, finestra);
    QFETCH(Colore, testo);
    QFETCH(Colore, faccia);
    QFETCH(bool, atteso);

    const Colore testoFaccia
        = Contrasto::Luminanza(faccia) > 0.5 ? Contrasto::Nero : Contrasto::Bianco;
    QCOMPARE(Contrasto::AltoContrasto(finestra, testo, faccia, testoFaccia), atteso);
}

QTEST_APPLESS_MAIN(tst_Contrasto)
#include "tst_Contrasto.moc"
