// SPDX-License-Identifier: GPL-3.0-or-later
#include "Figura.h"

#include <QtTest>

namespace {

QImage Tinta(QColor colore, QSize misura)
{
    QImage immagine(misura, QImage::Format_ARGB32);
    immagine.fill(colore);
    return immagine;
}

} // namespace

// A picture control whose picture is decoded only when it first shows.
class tst_Figura : public QObject {
    Q_OBJECT

private slots:
    void differita_data();
    void differita();
    void unaFiguraPostaDopoVince();
};

void tst_Figura::differita_data()
{
    QTest::addColumn<bool>("nascosta"); // hidden before its window shows
    QTest::addColumn<bool>("mostrata"); // shown afterwards
    QTest::addColumn<int>("caricamenti");

    QTest::newRow("a hidden picture is never decoded") << true << false << 0;
    QTest::newRow("a hidden picture is decoded when it shows") << true << true << 1;
    QTest::newRow("a visible picture is decoded with its window") << false << false << 1;
    QTest::newRow("showing it again decodes it no more") << false << true << 1;
}

void tst_Figura::differita()
{
    QFETCH(bool, nascosta);
    QFETCH(bool, mostrata);
    QFETCH(int, caricamenti);

    QWidget finestra;
    finestra.resize(200, 200);
    Figura figura(&finestra);
    figura.resize(20, 20);
    int volte = 0;
    figura.setPictureDifferita([&volte](qreal) {
        ++volte;
        return Tinta(Qt::red, QSize(64, 48));
    });
    if (nascosta)
        figura.hide();
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    if (mostrata) {
        figura.hide();
        figura.show();
    }
    QCOMPARE(volte, caricamenti);
    // Until it is decoded the control keeps its own size; then it takes the picture's.
    QCOMPARE(figura.size(), volte ? QSize(64, 48) : QSize(20, 20));
    QCOMPARE(figura.picture().isNull(), volte == 0);
    if (figura.isVisible())
        QCOMPARE(figura.grab().toImage().pixelColor(10, 10), QColor(Qt::red));
}

void tst_Figura::unaFiguraPostaDopoVince()
{
    QWidget finestra;
    Figura figura(&finestra);
    figura.hide();
    bool decodificata = false;
    figura.setPictureDifferita([&decodificata](qreal) {
        decodificata = true;
        return Tinta(Qt::red, QSize(64, 64));
    });
    figura.setPicture(Tinta(Qt::blue, QSize(32, 32)));
    finestra.show();
    figura.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    QVERIFY(!decodificata);
    QCOMPARE(figura.size(), QSize(32, 32));
    QCOMPARE(figura.grab().toImage().pixelColor(10, 10), QColor(Qt::blue));
}

QTEST_MAIN(tst_Figura)
#include "tst_Figura.moc"
