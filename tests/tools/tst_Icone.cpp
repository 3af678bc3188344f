// SPDX-License-Identifier: GPL-3.0-or-later
#include "Freccia.h"
#include "Icona.h"

#include <QImageReader>
#include <QtEndian>
#include <QtTest>

// The icons as the shells read them: the Windows icon images against the window's PNGs, the
// .ico file, and the desktop's sizes of the bust.
class tst_Icone : public QObject {
    Q_OBJECT

private slots:
    void immagineIcona_data();
    void immagineIcona();
    void estensioneBusto();
    void fileIco();
    void iconeDesktop_data();
    void iconeDesktop();
    void immagineNonAdatta_data();
    void immagineNonAdatta();
};

namespace {

QByteArray Leggi(const QString& nome)
{
    QFile file(QStringLiteral(IDROVELA_RISORSE "/") + nome);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A field that would lie past the end of a short or missing file reads as 0, which fails the
// comparisons that follow instead of reading outside the bytes.
quint32 U32(const QByteArray& b, int at)
{
    return at >= 0 && at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0;
}

quint16 U16(const QByteArray& b, int at)
{
    return at >= 0 && at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}

// Decodes an icon image of 256 or 16 colours, as its header says; null when the header does
// not fit the side or the bytes, or when a transparent pixel's colour is not black, which
// would show through the mask as inverted screen pixels.
QImage Decodifica(const QByteArray& dib, int lato)
{
    const int bit = U16(dib, 14);
    if ((bit != 8 && bit != 4) || int(U32(dib, 4)) != lato)
        return {};
    const int tavolozza = 40;
    const int pixel = tavolozza + 4 * (1 << bit);
    const int rigaPixel = (lato * bit + 31) / 32 * 4;
    const int maschera = pixel + lato * rigaPixel;
    const int rigaMaschera = (lato + 31) / 32 * 4;
    if (dib.size() != maschera + lato * rigaMaschera)
        return {};
    QImage immagine(lato, lato, QImage::Format_ARGB32);
    for (int y = 0; y < lato; ++y)
        for (int x = 0; x < lato; ++x) {
            const int riga = lato - 1 - y;
            const quint8 byte = quint8(dib.at(pixel + riga * rigaPixel + x * bit / 8));
            const quint8 indice = bit == 8 ? byte : (x % 2 ? byte & 0x0F : byte >> 4);
            const quint8 b = quint8(dib.at(maschera + riga * rigaMaschera + x / 8));
            const char* c = dib.constData() + tavolozza + 4 * indice;
            const QRgb colore = qRgb(quint8(c[2]), quint8(c[1]), quint8(c[0]));
            if (b & (0x80 >> (x % 8))) {
                if (colore != qRgb(0, 0, 0))
                    return {};
                immagine.setPixel(x, y, 0);
            } else {
                immagine.setPixel(x, y, colore);
            }
        }
    return immagine;
}

QRect Opachi(const QImage& immagine)
{
    QRect r;
    for (int y = 0; y < immagine.height(); ++y)
        for (int x = 0; x < immagine.width(); ++x)
            if (qAlpha(immagine.pixel(x, y)))
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

void tst_Icone::immagineIcona_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QImage>("disegno");
    QTest::addColumn<int>("lato");
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("byte");
    const auto png = [](const char* nome) {
        return QImage(QStringLiteral(IDROVELA_RISORSE "/finestra/%1.png").arg(nome))
            .convertToFormat(QImage::Format_ARGB32);
    };
    QTest::newRow("the bust") << "busto" << png("busto") << 128 << 8 << 19496;
    QTest::newRow("the ice block") << "ghiaccio" << png("ghiaccio") << 64 << 8 << 5672;
    QTest::newRow("the iron block") << "ferro" << png("ferro") << 64 << 8 << 5672;
    QTest::newRow("the wooden block") << "legno" << png("legno") << 64 << 8 << 5672;
    QTest::newRow("the copper block, the window's own") << "rame" << png("rame") << 64 << 8 << 5672;
    QTest::newRow("the back arrow in 16 colours")
        << "freccia32" << png("freccia") << 32 << 4 << 744;
}

void tst_Icone::immagineIcona()
{
    QFETCH(QString, nome);
    QFETCH(QImage, disegno);
    QFETCH(int, lato);
    QFETCH(int, bit);
    QFETCH(int, byte);

    const QByteArray dib = Leggi("windows/" + nome + ".dib");
    QCOMPARE(dib.size(), byte);
    QCOMPARE(U32(dib, 0), 40u);
    QCOMPARE(qint32(U32(dib, 4)), lato);
    QCOMPARE(qint32(U32(dib, 8)), 2 * lato); // the picture and its mask
    QCOMPARE(U16(dib, 12), quint16(1));
    QCOMPARE(U16(dib, 14), quint16(bit));
    QCOMPARE(U32(dib, 16), 0u);
    for (int i = 0; i < 1 << bit; ++i)
        QCOMPARE(dib.at(40 + 4 * i + 3), '\0');

    QCOMPARE(disegno.size(), QSize(lato, lato));
    const QImage icona = Decodifica(dib, lato);
    QVERIFY2(!icona.isNull(), "a transparent pixel is not black");
    for (int y = 0; y < lato; ++y)
        for (int x = 0; x < lato; ++x) {
            const QRgb atteso = disegno.pixel(x, y);
            QCOMPARE(icona.pixel(x, y), qAlpha(atteso) ? atteso : 0u);
        }
}

void tst_Icone::estensioneBusto()
{
    const QImage busto(QStringLiteral(IDROVELA_RISORSE "/finestra/busto.png"));
    QCOMPARE(busto.size(), QSize(128, 128));
    QCOMPARE(Opachi(busto), QRect(QPoint(23, 5), QPoint(99, 124)));
}

void tst_Icone::fileIco()
{
    const QByteArray ico = Leggi(QStringLiteral("windows/idrovela.ico"));
    QCOMPARE(U16(ico, 0), quint16(0));
    QCOMPARE(U16(ico, 2), quint16(1));
    const int n = U16(ico, 4);
    QList<int> lati;
    quint32 fine = quint32(6 + 16 * n);
    for (int i = 0; i < n; ++i) {
        const int voce = 6 + 16 * i;
        const quint32 byte = U32(ico, voce + 8);
        const quint32 inizio = U32(ico, voce + 12);
        QCOMPARE(inizio, fine); // packed in the order of the directory
        fine += byte;
        QVERIFY(fine <= quint32(ico.size()));
        const int lato = quint8(ico.at(voce));
        QCOMPARE(qint32(U32(ico, int(inizio) + 4)), lato);
        QCOMPARE(U16(ico, voce + 6), U16(ico, int(inizio) + 14));
        lati.append(lato);
        if (lato == 128)
            QCOMPARE(ico.mid(int(inizio), int(byte)), Leggi(QStringLiteral("windows/busto.dib")));
    }
    QCOMPARE(fine, quint32(ico.size()));
    QCOMPARE(lati, (QList<int> { 16, 24, 32, 48, 128 }));

    // Another reader agrees.
    QBuffer buffer;
    buffer.setData(ico);
    QImageReader lettore(&buffer, "ico");
    QCOMPARE(lettore.imageCount(), n);
}

void tst_Icone::iconeDesktop_data()
{
    QTest::addColumn<int>("lato");
    for (int lato : { 16, 22, 24, 32, 48, 64, 128 })
        QTest::addRow("%d pixels", lato) << lato;
}

// Each size is the bust made smaller: the same share of the square covered, and no colour
// outside the bust's own, as a dark fringe from the transparent surroundings would be.
void tst_Icone::iconeDesktop()
{
    QFETCH(int, lato);
    const QImage busto = QImage(QStringLiteral(IDROVELA_RISORSE "/finestra/busto.png"))
                             .convertToFormat(QImage::Format_ARGB32);
    const QImage icona
        = QImage(QStringLiteral(IDROVELA_RISORSE "/hicolor/%1x%1/apps/idrovela.png").arg(lato))
              .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(icona.size(), QSize(lato, lato));

    const auto copertura = [](const QImage& i) {
        double somma = 0;
        for (int y = 0; y < i.height(); ++y)
            for (int x = 0; x < i.width(); ++x)
                somma += qAlpha(i.pixel(x, y));
        return somma / (255.0 * i.width() * i.height());
    };
    QVERIFY(qAbs(copertura(icona) - copertura(busto)) < 0.01);

    int minimo = 255;
    int massimo = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const QRgb c = busto.pixel(x, y);
            if (qAlpha(c))
                for (int v : { qRed(c), qGreen(c), qBlue(c) }) {
                    minimo = qMin(minimo, v);
                    massimo = qMax(massimo, v);
                }
        }
    for (int y = 0; y < lato; ++y)
        for (int x = 0; x < lato; ++x) {
            const QRgb c = icona.pixel(x, y);
            if (qAlpha(c))
                for (int v : { qRed(c), qGreen(c), qBlue(c) })
                    QVERIFY2(v >= minimo && v <= massimo, qPrintable(QString::number(c, 16)));
        }
}

void tst_Icone::immagineNonAdatta_data()
{
    QTest::addColumn<QImage>("immagine");
    QTest::addColumn<int>("bit");
    QTest::addColumn<bool>("adatta");

    QImage tanti(32, 32, QImage::Format_ARGB32);
    for (int i = 0; i < 32 * 32; ++i)
        tanti.setPixel(i % 32, i / 32, qRgb(1, i / 256, i % 256)); // 1024 colours
    QImage limite = tanti.copy();
    for (int i = 255; i < 32 * 32; ++i)
        limite.setPixel(i % 32, i / 32, 0); // 255 colours and transparency
    QImage uno = limite.copy();
    uno.setPixel(31, 31, qRgb(2, 2, 2)); // one more
    QImage velato = limite.copy();
    velato.setPixel(0, 0, qRgba(1, 0, 0, 128));

    QImage quindici = limite.copy();
    for (int i = 15; i < 255; ++i)
        quindici.setPixel(i % 32, i / 32, 0);
    QImage sedici = quindici.copy();
    sedici.setPixel(31, 31, qRgb(2, 2, 2));

    QTest::newRow("255 colours besides black fit") << limite << 8 << true;
    QTest::newRow("256 colours besides black do not") << uno << 8 << false;
    QTest::newRow("a thousand colours do not") << tanti << 8 << false;
    QTest::newRow("a half-transparent pixel has no place in a mask") << velato << 8 << false;
    QTest::newRow("15 colours besides black fit in 16") << quindici << 4 << true;
    QTest::newRow("16 colours besides black do not fit in 16") << sedici << 4 << false;
    QTest::newRow("255 colours do not fit in 16") << limite << 4 << false;
    QTest::newRow("a bit count of neither table is refused") << quindici << 5 << false;
}

void tst_Icone::immagineNonAdatta()
{
    QFETCH(QImage, immagine);
    QFETCH(int, bit);
    QFETCH(bool, adatta);
    const QByteArray dib = ImmagineIcona(immagine, bit);
    QCOMPARE(!dib.isEmpty(), adatta);
    if (adatta)
        QCOMPARE(Decodifica(dib, 32), immagine);
}

QTEST_MAIN(tst_Icone)
#include "tst_Icone.moc"
