// SPDX-License-Identifier: GPL-3.0-or-later
#include "Risorse.h"

#include <QSet>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(Risorse::Disegno)

// The pictures the program shows, measured on their pixels: the tank's features where the
// layout and the run expect them, the bodies inside the tank's bands, the samples' colours.
class tst_Disegni : public QObject {
    Q_OBJECT

private slots:
    void contenitore_data();
    void contenitore();
    void contenitoriDifferisconoSoloNelLiquido();
    void corpoNelContenitore_data();
    void corpoNelContenitore();
    void campione_data();
    void campione();
    void pozza_data();
    void pozza();
    void oliComeAcqua();
};

namespace {

constexpr QRgb Grigio = 0xFFC0C0C0;
constexpr QRgb Nero = 0xFF000000;
constexpr QRgb Bianco = 0xFFFFFFFF;

QSet<QRgb> Colori(const QImage& immagine)
{
    QSet<QRgb> colori;
    for (int y = 0; y < immagine.height(); ++y)
        for (int x = 0; x < immagine.width(); ++x)
            colori.insert(immagine.pixel(x, y));
    return colori;
}

QRect Estensione(const QImage& immagine, const std::function<bool(QRgb)>& conta)
{
    QRect r;
    for (int y = 0; y < immagine.height(); ++y)
        for (int x = 0; x < immagine.width(); ++x)
            if (conta(immagine.pixel(x, y)))
                r |= QRect(x, y, 1, 1);
    return r;
}

QList<int> RigheNere(const QImage& immagine, int x)
{
    QList<int> righe;
    for (int y = 0; y < immagine.height(); ++y)
        if (immagine.pixel(x, y) == Nero)
            righe.append(y);
    return righe;
}

QImage Tank(int id)
{
    return Risorse::Bitmap(id).convertToFormat(QImage::Format_ARGB32);
}

// Twips to pixels as the window converts them.
int Pixel(int twips)
{
    return (twips + 7) / 15;
}

} // namespace

void tst_Disegni::contenitore_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QRgb>("liquido");
    QTest::newRow("101 water is cyan") << 101 << QRgb(0xFF80FFFF);
    QTest::newRow("102 oil is yellow-green") << 102 << QRgb(0xFFD2FF80);
    QTest::newRow("103 mercury and petrol are light grey") << 103 << QRgb(0xFFD6D6D6);
}

void tst_Disegni::contenitore()
{
    QFETCH(int, id);
    QFETCH(QRgb, liquido);
    const QImage t = Tank(id);
    QCOMPARE(Colori(t), (QSet<QRgb> { Grigio, liquido, Bianco, Nero }));

    // Rim, surface and floor: their top and bottom arcs cross the axis, their widest rows
    // touch the walls and nothing black lies outside them.
    QCOMPARE(
        Estensione(t, [](QRgb c) { return c == Nero; }), QRect(QPoint(28, 32), QPoint(233, 303)));
    QCOMPARE(RigheNere(t, 130), (QList<int> { 32, 57, 79, 104, 256, 303 }));
    QCOMPARE(RigheNere(t, 131), (QList<int> { 32, 57, 79, 104, 256, 303 }));
    for (int centro : { 55, 56, 80, 81, 279, 280 }) {
        const QRect riga
            = Estensione(t.copy(0, centro, t.width(), 1), [](QRgb c) { return c == Nero; });
        QCOMPARE(riga.left(), 28);
        QCOMPARE(riga.right(), 233);
    }

    // The walls run unbroken from the rim's widest rows to the floor's.
    for (int parete : { 28, 233 }) {
        int cima = 150;
        int piede = 150;
        while (t.pixel(parete, cima - 1) == Nero)
            --cima;
        while (t.pixel(parete, piede + 1) == Nero)
            ++piede;
        QVERIFY2(cima >= 53 && cima <= 56, qPrintable(QString::number(cima)));
        QVERIFY2(piede >= 276 && piede <= 282, qPrintable(QString::number(piede)));
    }

    // The liquid from the far arc of the surface to the near arc of the floor, the glass above
    // it grey; the highlight a solid bar over the liquid; nothing below the floor.
    QCOMPARE(Estensione(t, [liquido](QRgb c) { return c == liquido; }),
        QRect(QPoint(29, 58), QPoint(232, 302)));
    for (int y = 33; y <= 56; ++y)
        QCOMPARE(t.pixel(130, y), Grigio);
    for (int y = 58; y <= 302; ++y)
        QVERIFY(t.pixel(130, y) == liquido || RigheNere(t, 130).contains(y));
    const QRect riflesso = Estensione(t, [](QRgb c) { return c == Bianco; });
    QCOMPARE(riflesso, QRect(QPoint(38, 106), QPoint(48, 260)));
    QCOMPARE(t.copy(riflesso), [&] {
        QImage bianca(riflesso.size(), t.format());
        bianca.fill(Bianco);
        return bianca;
    }());
    QCOMPARE(Colori(t.copy(0, 304, t.width(), 62)), QSet<QRgb> { Grigio });
}

void tst_Disegni::contenitoriDifferisconoSoloNelLiquido()
{
    const auto neutro = [](int id, QRgb liquido) {
        QImage t = Tank(id);
        for (int y = 0; y < t.height(); ++y)
            for (int x = 0; x < t.width(); ++x)
                if (t.pixel(x, y) == liquido)
                    t.setPixel(x, y, 0xFFFF00FF);
        return t;
    };
    const QImage acqua = neutro(101, 0xFF80FFFF);
    QCOMPARE(neutro(102, 0xFFD2FF80), acqua);
    QCOMPARE(neutro(103, 0xFFD6D6D6), acqua);
}

void tst_Disegni::corpoNelContenitore_data()
{
    QTest::addColumn<Risorse::Disegno>("disegno");
    QTest::addColumn<QRect>("blocco");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("primaRigaBanda");
    QTest::addColumn<int>("ultimaRigaBanda");

    const struct {
        const char* nome;
        Risorse::Disegno disegno;
        QRect blocco;
    } corpi[] = {
        { "ice", Risorse::Disegno::CorpoGhiaccio, QRect(QPoint(13, 17), QPoint(46, 47)) },
        { "iron", Risorse::Disegno::CorpoFerro, QRect(QPoint(14, 17), QPoint(47, 47)) },
        { "copper", Risorse::Disegno::CorpoRame, QRect(QPoint(13, 17), QPoint(46, 47)) },
        { "wood", Risorse::Disegno::CorpoLegno, QRect(QPoint(12, 18), QPoint(49, 48)) },
    };
    for (const auto& c : corpi) {
        QTest::addRow("%s at the start floats in the surface band", c.nome)
            << c.disegno << c.blocco << 960 << 57 << 104;
        QTest::addRow("%s at the bottom limit stands in the floor band", c.nome)
            << c.disegno << c.blocco << 3840 << 256 << 303;
    }
}

void tst_Disegni::corpoNelContenitore()
{
    QFETCH(Risorse::Disegno, disegno);
    QFETCH(QRect, blocco);
    QFETCH(int, top);
    QFETCH(int, primaRigaBanda);
    QFETCH(int, ultimaRigaBanda);

    const QImage corpo = Risorse::Immagine(disegno);
    QCOMPARE(Estensione(corpo, [](QRgb c) { return qAlpha(c) != 0; }), blocco);
    for (QRgb c : Colori(corpo))
        QVERIFY(qAlpha(c) == 0 || qAlpha(c) == 255);
    QVERIFY(Colori(corpo).size() <= 256);

    // From the body's square to the tank picture's pixels, both placed on the window.
    const QPoint spostamento(Pixel(1680) - Pixel(120), Pixel(top) - Pixel(240));
    const QRect nelContenitore = blocco.translated(spostamento);
    QVERIFY2(nelContenitore.top() >= primaRigaBanda && nelContenitore.bottom() <= ultimaRigaBanda,
        qPrintable(
            QStringLiteral("rows %1-%2").arg(nelContenitore.top()).arg(nelContenitore.bottom())));
    QVERIFY(nelContenitore.left() < 130 && nelContenitore.right() > 131);
    QVERIFY(nelContenitore.left() > 28 && nelContenitore.right() < 233);
}

void tst_Disegni::campione_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QRect>("estensione");
    QTest::addColumn<QList<QRgb>>("presenti");
    QTest::addColumn<QRgb>("minimo"); // every colour but white lies between these, channel by
    QTest::addColumn<QRgb>("massimo"); // channel

    QTest::newRow("104 water: pale cyan body, darker rim, highlights")
        << 104 << QRect(0, 0, 67, 28) << QList<QRgb> { 0xFFBFFFFF, 0xFFA0EFEF, 0xFFF0FFFF }
        << QRgb(0xFFA0EFEF) << QRgb(0xFFF0FFFF);
    QTest::newRow("105 oil: the same in pale yellow")
        << 105 << QRect(0, 0, 67, 29) << QList<QRgb> { 0xFFFFFFBF, 0xFFEFEFA0, 0xFFFFFFF0 }
        << QRgb(0xFFEFEFA0) << QRgb(0xFFFFFFF0);
    QTest::newRow("106 grey: metallic greys")
        << 106 << QRect(0, 0, 67, 25) << QList<QRgb> { 0xFFB0B0B0, 0xFF9F9F9F, 0xFFF0F0F0 }
        << QRgb(0xFF9F9F9F) << QRgb(0xFFF0F0F0);
    QTest::newRow("107 ice: near-white and cyan faces")
        << 107 << QRect(QPoint(7, 9), QPoint(40, 39)) << QList<QRgb> { 0xFFEFFFFF, 0xFF7FF0FF }
        << QRgb(0xFF50C0E0) << QRgb(0xFFFFFFFF);
    QTest::newRow("108 iron: light greys")
        << 108 << QRect(QPoint(6, 7), QPoint(39, 37)) << QList<QRgb> { 0xFFC0C0C0, 0xFFEFEFEF }
        << QRgb(0xFFC0C0C0) << QRgb(0xFFEFEFEF);
    QTest::newRow("109 wood: beige and brown, dark grain")
        << 109 << QRect(QPoint(5, 8), QPoint(42, 38)) << QList<QRgb> { 0xFF9F7F4F, 0xFFC0A07F }
        << QRgb(0xFF9F7F4F) << QRgb(0xFFF0DCC0);
    QTest::newRow("110 copper: flat orange tones")
        << 110 << QRect(QPoint(13, 17), QPoint(46, 47))
        << QList<QRgb> { 0xFFFFC760, 0xFFFFB740, 0xFFFFA820, 0xFFDF9000, 0xFFFFD08F, 0xFFFFE0AF }
        << QRgb(0xFFDF9000) << QRgb(0xFFFFE0AF);
}

void tst_Disegni::campione()
{
    QFETCH(int, id);
    QFETCH(QRect, estensione);
    QFETCH(QList<QRgb>, presenti);
    QFETCH(QRgb, minimo);
    QFETCH(QRgb, massimo);

    const QImage immagine = Risorse::Bitmap(id).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(immagine.pixel(immagine.width() - 1, immagine.height() - 1), Bianco);
    QCOMPARE(Estensione(immagine, [](QRgb c) { return c != Bianco; }), estensione);
    const QSet<QRgb> colori = Colori(immagine);
    for (QRgb c : presenti)
        QVERIFY2(colori.contains(c), qPrintable(QString::number(c, 16)));
    for (QRgb c : colori) {
        if (c == Bianco)
            continue;
        const bool dentro = qRed(c) >= qRed(minimo) && qRed(c) <= qRed(massimo)
            && qGreen(c) >= qGreen(minimo) && qGreen(c) <= qGreen(massimo)
            && qBlue(c) >= qBlue(minimo) && qBlue(c) <= qBlue(massimo);
        QVERIFY2(dentro, qPrintable(QString::number(c, 16)));
    }
}

void tst_Disegni::pozza_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("104 water") << 104;
    QTest::newRow("105 oil") << 105;
    QTest::newRow("106 grey") << 106;
}

// A wide body across the upper half out to the right edge, a bump on top right of the middle,
// a tongue down to the lower left corner and white beside it.
void tst_Disegni::pozza()
{
    QFETCH(int, id);
    const QImage p = Risorse::Bitmap(id).convertToFormat(QImage::Format_ARGB32);
    const int h = p.height();
    const auto liquido = [](QRgb c) { return c != Bianco; };

    const QRect metaAlta = Estensione(p.copy(0, 0, p.width(), h / 2), liquido);
    QVERIFY2(
        metaAlta.left() >= 1 && metaAlta.left() <= 8, qPrintable(QString::number(metaAlta.left())));
    QCOMPARE(metaAlta.right(), p.width() - 1);
    QVERIFY(metaAlta.height() >= h / 2 - 2);

    const QRect cima = Estensione(p.copy(0, 0, p.width(), 2), liquido);
    QVERIFY(cima.left() > p.width() / 2 && cima.right() < p.width() * 5 / 6);

    QVERIFY(liquido(p.pixel(0, h - 1)));
    QCOMPARE(Estensione(p.copy(40, h * 2 / 3, p.width() - 40, h - h * 2 / 3), liquido), QRect());
}

// Oil is the water's drawing one row taller: dropping a row and turning the colours back
// gives the water.
void tst_Disegni::oliComeAcqua()
{
    const QImage acqua = Risorse::Bitmap(104).convertToFormat(QImage::Format_ARGB32);
    const QImage olio = Risorse::Bitmap(105).convertToFormat(QImage::Format_ARGB32);
    bool trovata = false;
    for (int tolta = 0; tolta < olio.height() && !trovata; ++tolta) {
        QImage resto(acqua.size(), acqua.format());
        for (int y = 0; y < resto.height(); ++y)
            for (int x = 0; x < resto.width(); ++x) {
                const QRgb c = olio.pixel(x, y < tolta ? y : y + 1);
                resto.setPixel(x, y, qRgb(qBlue(c), qRed(c), qGreen(c)));
            }
        trovata = resto == acqua;
    }
    QVERIFY(trovata);
}

QTEST_APPLESS_MAIN(tst_Disegni)
#include "tst_Disegni.moc"
