// SPDX-License-Identifier: GPL-3.0-or-later
#include "Geometria.h"

#include <QtTest>

class tst_Geometria : public QObject {
    Q_OBJECT

private slots:
    void scalaDisegno_data();
    void scalaDisegno();
    void pixel_data();
    void pixel();
};

void tst_Geometria::scalaDisegno_data()
{
    QTest::addColumn<double>("pixelPerPixel");
    QTest::addColumn<int>("scala");

    QTest::newRow("a screen at 100 %") << 1.0 << 1;
    QTest::newRow("a window shrunk below its size") << 0.5 << 1;
    QTest::newRow("a hundredth over counts as the whole") << 1.005 << 1;
    QTest::newRow("125 % takes the finer drawing") << 1.25 << 2;
    QTest::newRow("200 %") << 2.0 << 2;
    QTest::newRow("a whiteboard at 250 %") << 2.5 << 3;
    QTest::newRow("past 3x the finest there is") << 4.2 << 3;
}

void tst_Geometria::scalaDisegno()
{
    QFETCH(double, pixelPerPixel);
    QFETCH(int, scala);
    QCOMPARE(Geometria::ScalaDisegno(pixelPerPixel), scala);
}

void tst_Geometria::pixel_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("px");

    QTest::newRow("the client area's width") << double(Geometria::LarghezzaClient) << 96 << 474;
    QTest::newRow("half a pixel rounds up") << 7.5 << 96 << 1;
    QTest::newRow("a sinking body's last step at 150 %") << 3810.0 << 144 << 381;
    QTest::newRow("the same step at 125 %") << 3810.0 << 120 << 318;
}

void tst_Geometria::pixel()
{
    QFETCH(double, twips);
    QFETCH(int, dpi);
    QFETCH(int, px);
    QCOMPARE(Twips::Px(twips, dpi), px);
}

QTEST_APPLESS_MAIN(tst_Geometria)
#include "tst_Geometria.moc"
