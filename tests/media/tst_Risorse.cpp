// SPDX-License-Identifier: GPL-3.0-or-later
#include "Risorse.h"

#include <QtEndian>
#include <QtTest>

// The resource table as the program sees it: what each number gives, and the bytes behind it.
Q_DECLARE_METATYPE(Risorse::Disegno)

class tst_Risorse : public QObject {
    Q_OBJECT

private slots:
    void bitmap_data();
    void bitmap();
    void bitmapNuovaOgniVolta();
    void numeroSconosciuto_data();
    void numeroSconosciuto();
    void tipoNonValido_data();
    void tipoNonValido();
    void suono();
    void immagine_data();
    void immagine();
};

namespace {

quint32 U32(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 U16(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// The rows decoded by hand, bottom-up blue-green-red with padding, to hold against Qt's reader.
QImage Decodifica(const QByteArray& bmp, int larghezza, int altezza, int riga)
{
    QImage immagine(larghezza, altezza, QImage::Format_RGB32);
    for (int y = 0; y < altezza; ++y) {
        const char* p = bmp.constData() + 54 + (altezza - 1 - y) * riga;
        for (int x = 0; x < larghezza; ++x, p += 3)
            immagine.setPixel(x, y, qRgb(quint8(p[2]), quint8(p[1]), quint8(p[0])));
    }
    return immagine;
}

} // namespace

void tst_Risorse::bitmap_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("larghezza");
    QTest::addColumn<int>("altezza");
    QTest::addColumn<int>("byteRisorsa");

    QTest::newRow("101 the tank with water") << 101 << 287 << 366 << 316264;
    QTest::newRow("102 the tank with oil") << 102 << 287 << 366 << 316264;
    QTest::newRow("103 the tank with a grey liquid") << 103 << 287 << 366 << 316264;
    QTest::newRow("104 a puddle of water") << 104 << 67 << 28 << 5752;
    QTest::newRow("105 a puddle of oil") << 105 << 67 << 29 << 5956;
    QTest::newRow("106 a grey puddle") << 106 << 67 << 25 << 5140;
    QTest::newRow("107 a block of ice") << 107 << 46 << 46 << 6480;
    QTest::newRow("108 a block of iron") << 108 << 46 << 46 << 6480;
    QTest::newRow("109 a block of wood") << 109 << 46 << 46 << 6480;
    QTest::newRow("110 a block of copper") << 110 << 62 << 61 << 11508;
}

void tst_Risorse::bitmap()
{
    QFETCH(int, id);
    QFETCH(int, larghezza);
    QFETCH(int, altezza);
    QFETCH(int, byteRisorsa);

    const QImage immagine = Risorse::Bitmap(id);
    QCOMPARE(immagine.size(), QSize(larghezza, altezza));
    QVERIFY(!immagine.hasAlphaChannel());

    QFile file(QStringLiteral(":/bitmap/%1").arg(id));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bmp = file.readAll();
    const int riga = (larghezza * 3 + 3) / 4 * 4;
    QCOMPARE(bmp.size(), byteRisorsa + 14);
    QCOMPARE(bmp.left(2), QByteArray("BM"));
    QCOMPARE(U32(bmp, 2), quint32(bmp.size()));
    QCOMPARE(U32(bmp, 6), 0u);
    QCOMPARE(U32(bmp, 10), 54u);
    QCOMPARE(U32(bmp, 14), 40u);
    QCOMPARE(qint32(U32(bmp, 18)), larghezza);
    QCOMPARE(qint32(U32(bmp, 22)), altezza); // positive: rows run from the bottom up
    QCOMPARE(U16(bmp, 26), quint16(1));
    QCOMPARE(U16(bmp, 28), quint16(24));
    QCOMPARE(U32(bmp, 30), 0u);
    QCOMPARE(U32(bmp, 34), quint32(riga * altezza));
    QCOMPARE(U32(bmp, 38), 3780u);
    QCOMPARE(U32(bmp, 42), 3780u);
    QCOMPARE(U32(bmp, 46), 0u);
    QCOMPARE(U32(bmp, 50), 0u);
    for (int y = 0; y < altezza; ++y)
        for (int n = larghezza * 3; n < riga; ++n)
            QCOMPARE(bmp.at(54 + y * riga + n), '\0');

    QCOMPARE(
        Decodifica(bmp, larghezza, altezza, riga), immagine.convertToFormat(QImage::Format_RGB32));
}

// No cache: every load makes a picture of its own, not another handle on a kept one.
void tst_Risorse::bitmapNuovaOgniVolta()
{
    const QImage prima = Risorse::Bitmap(101);
    const QImage seconda = Risorse::Bitmap(101);
    QCOMPARE(prima, seconda);
    QVERIFY(prima.cacheKey() != seconda.cacheKey());
}

void tst_Risorse::numeroSconosciuto_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("zero") << 0;
    QTest::newRow("just below the bitmaps") << 100;
    QTest::newRow("just above the bitmaps") << 111;
    QTest::newRow("negative") << -101;
    QTest::newRow("a bitmap number past 16 bits") << 65536 + 101;
}

void tst_Risorse::numeroSconosciuto()
{
    QFETCH(int, id);
    QVERIFY(Risorse::Bitmap(id).isNull());
    QVERIFY(Risorse::Dati(id, "CUSTOM").isEmpty());
}

void tst_Risorse::tipoNonValido_data()
{
    QTest::addColumn<QByteArray>("tipo");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("lower case") << QByteArray("custom");
    QTest::newRow("a type that does not exist") << QByteArray("WAVE");
    QTest::newRow("climbing out of the folder") << QByteArray("CUSTOM/../CUSTOM");
    QTest::newRow("an absolute path") << QByteArray("/CUSTOM");
    QTest::newRow("a space") << QByteArray("CUSTOM ");
}

void tst_Risorse::tipoNonValido()
{
    QFETCH(QByteArray, tipo);
    QVERIFY(Risorse::Dati(101, tipo.constData()).isEmpty());
}

void tst_Risorse::suono()
{
    QVERIFY(Risorse::Dati(101, nullptr).isEmpty());
    const QByteArray wave = Risorse::Dati(101, "CUSTOM");
    QCOMPARE(wave.size(), 40272);
    QCOMPARE(wave.left(4), QByteArray("RIFF"));
    QCOMPARE(U32(wave, 4), 40264u);
    QCOMPARE(wave.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(U32(wave, 24), 11025u);
    QCOMPARE(U16(wave, 34), quint16(8));
    QCOMPARE(wave.mid(48, 4), QByteArray("data"));
    QCOMPARE(U32(wave, 52), 40215u);
    QCOMPARE(wave.back(), '\0');
}

void tst_Risorse::immagine_data()
{
    QTest::addColumn<Risorse::Disegno>("disegno");
    QTest::addColumn<int>("lato");
    QTest::newRow("the bust") << Risorse::Disegno::Busto << 128;
    QTest::newRow("the back arrow") << Risorse::Disegno::FrecciaIndietro << 32;
    QTest::newRow("the ice body") << Risorse::Disegno::CorpoGhiaccio << 64;
    QTest::newRow("the iron body") << Risorse::Disegno::CorpoFerro << 64;
    QTest::newRow("the copper body") << Risorse::Disegno::CorpoRame << 64;
    QTest::newRow("the wooden body") << Risorse::Disegno::CorpoLegno << 64;
}

void tst_Risorse::immagine()
{
    QFETCH(Risorse::Disegno, disegno);
    QFETCH(int, lato);
    const QImage immagine = Risorse::Immagine(disegno);
    QCOMPARE(immagine.size(), QSize(lato, lato));
    QVERIFY(immagine.hasAlphaChannel());
    QCOMPARE(qAlpha(immagine.pixel(0, 0)), 0);
}

QTEST_APPLESS_MAIN(tst_Risorse)
#include "tst_Risorse.moc"
