// SPDX-License-Identifier: GPL-3.0-or-later
#include "CostruttoreWave.h"
#include "LettoreWave.h"

#include <QRandomGenerator>
#include <QtTest>

using C = CostruttoreWave;

namespace {

QByteArray Campioni(qsizetype n)
{
    QByteArray dati(n, '\0');
    for (qsizetype i = 0; i < n; ++i)
        dati[i] = char(128 + (i * 37) % 50 - 25);
    return dati;
}

// The layout of the program's own sound: format, a "fact" chunk, an odd-sized data chunk
// and its pad byte.
QByteArray ComeIlSuonoDelProgramma(quint32 campioni)
{
    QByteArray fact(4, '\0');
    qToLittleEndian(campioni, fact.data());
    return C::Riff(C::Chunk("fmt ", C::CorpoFmt(1, 1, 11025, 8)) + C::Chunk("fact", fact)
        + C::Chunk("data", Campioni(campioni)));
}

QByteArray ConDimensioneRiff(QByteArray immagine, quint32 dimensione)
{
    qToLittleEndian(dimensione, immagine.data() + 4);
    return immagine;
}

QByteArray Formato(
    quint16 tag, quint16 canali, quint32 frequenza, quint16 bit, quint16 allineamento = 0)
{
    return C::Chunk("fmt ", C::CorpoFmt(tag, canali, frequenza, bit, allineamento));
}

// What every answer of the reader must respect, whatever the image.
void VerificaLimiti(const LettoreWave::Campioni& c, qsizetype dimensione)
{
    QVERIFY(c.canali == 1 || c.canali == 2);
    QVERIFY(c.bit == 8 || c.bit == 16);
    QVERIFY(c.frequenza > 0);
    QVERIFY(c.inizio >= 20);
    QVERIFY(c.lunghezza > 0);
    QVERIFY(c.inizio + c.lunghezza <= dimensione);
    QCOMPARE(c.lunghezza % (c.canali * c.bit / 8), 0);
}

} // namespace

class tst_LettoreWave : public QObject {
    Q_OBJECT

private slots:
    void accetta_data();
    void accetta();
    void rifiuta_data();
    void rifiuta();
    void ogniTroncamentoERifiutato();
    void alterazioniCasualiRestanoNeiLimiti();
};

void tst_LettoreWave::accetta_data()
{
    QTest::addColumn<QByteArray>("immagine");
    QTest::addColumn<int>("canali");
    QTest::addColumn<int>("frequenza");
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("inizio");
    QTest::addColumn<int>("lunghezza");

    const QByteArray dati = Campioni(100);
    const QByteArray mono8 = Formato(1, 1, 11025, 8);
    QTest::newRow("the program's layout with fact chunk, odd data and pad byte")
        << ComeIlSuonoDelProgramma(40215) << 1 << 11025 << 8 << 56 << 40215;
    QTest::newRow("the data before the format")
        << C::Riff(C::Chunk("data", dati) + mono8) << 1 << 11025 << 8 << 20 << 100;
    QTest::newRow("a LIST chunk before the format") << C::Riff(
        C::Chunk("LIST", QByteArray("INFOISFT\x04\0\0\0abcd", 16)) + mono8 + C::Chunk("data", dati))
                                                    << 1 << 11025 << 8 << 68 << 100;
    QTest::newRow("an odd-sized chunk and its pad byte before the data")
        << C::Riff(mono8 + C::Chunk("junk", "abc") + C::Chunk("data", dati)) << 1 << 11025 << 8
        << 56 << 100;
    QTest::newRow("bytes after the RIFF chunk are not samples")
        << C::Riff(mono8 + C::Chunk("data", dati)) + QByteArray(33, 'x') << 1 << 11025 << 8 << 44
        << 100;
    const QByteArray senzaPad = C::Riff(mono8 + C::Chunk("data", Campioni(7))).chopped(1);
    QTest::newRow("odd data that ends the image without its pad byte")
        << ConDimensioneRiff(senzaPad, quint32(senzaPad.size() - 8)) << 1 << 11025 << 8 << 44 << 7;
    QTest::newRow("a partial frame at the end is left out")
        << C::Wave(2, 22050, 16, Campioni(4 * 10 + 3)) << 2 << 22050 << 16 << 44 << 40;
    QTest::newRow("16-bit stereo at 44100 Hz")
        << C::Wave(2, 44100, 16, Campioni(400)) << 2 << 44100 << 16 << 44 << 400;
    QTest::newRow("an 18-byte format with its extra size field") << C::Riff(
        C::Chunk("fmt ", C::CorpoFmt(1, 1, 11025, 8) + QByteArray(2, '\0'))
        + C::Chunk("data", dati)) << 1 << 11025 << 8 << 46 << 100;
    QTest::newRow("the highest frequency a sound server takes")
        << C::Wave(1, 384000, 8, dati) << 1 << 384000 << 8 << 44 << 100;
    QTest::newRow("a single frame") << C::Wave(1, 11025, 8, "\x90") << 1 << 11025 << 8 << 44 << 1;
}

void tst_LettoreWave::accetta()
{
    QFETCH(QByteArray, immagine);
    QFETCH(int, canali);
    QFETCH(int, frequenza);
    QFETCH(int, bit);
    QFETCH(int, inizio);
    QFETCH(int, lunghezza);

    const std::optional<LettoreWave::Campioni> letto
        = LettoreWave::Leggi(immagine.constData(), immagine.size());

    QVERIFY(letto);
    QCOMPARE(letto->canali, canali);
    QCOMPARE(letto->frequenza, frequenza);
    QCOMPARE(letto->bit, bit);
    QCOMPARE(letto->inizio, inizio);
    QCOMPARE(letto->lunghezza, lunghezza);
}

void tst_LettoreWave::rifiuta_data()
{
    QTest::addColumn<QByteArray>("immagine");

    const QByteArray dati = Campioni(100);
    const QByteArray mono8 = Formato(1, 1, 11025, 8);
    const QByteArray buono = C::Wave(1, 11025, 8, dati);

    QTest::newRow("an empty image") << QByteArray();
    QTest::newRow("only the RIFF tag") << buono.left(4);
    QTest::newRow("a header cut before the form type") << buono.left(11);
    QTest::newRow("a RIFF chunk with nothing in it") << C::Riff({});
    QTest::newRow("a header cut inside the format") << ConDimensioneRiff(buono.left(30), 22);
    QTest::newRow("a data chunk longer than the file")
        << C::Riff(mono8 + C::ChunkConDimensione("data", 1000, dati));
    QTest::newRow("a data chunk longer than the RIFF chunk") << ConDimensioneRiff(
        C::Riff(mono8 + C::ChunkConDimensione("data", 200, dati)) + QByteArray(100, '\x80'),
        4 + 24 + 8 + 100);
    QTest::newRow("a RIFF size beyond the image") << ConDimensioneRiff(buono, buono.size());
    QTest::newRow("a RIFF size too small for the form type") << ConDimensioneRiff(buono, 3);
    QTest::newRow("a chunk size of almost 4 GiB")
        << C::Riff(mono8 + C::ChunkConDimensione("data", 0xffffffffu, dati));
    QTest::newRow("an unknown chunk that runs past the end")
        << C::Riff(C::ChunkConDimensione("LIST", 0x7fffffffu, dati) + mono8);
    QTest::newRow("an odd-sized chunk without its pad byte")
        << C::Riff(C::ChunkConDimensione("junk", 3, "abc") + mono8 + C::Chunk("data", dati));
    QByteArray rifx = buono;
    rifx.replace(0, 4, "RIFX");
    QTest::newRow("big-endian RIFX") << rifx;
    QByteArray avi = buono;
    avi.replace(8, 4, "AVI ");
    QTest::newRow("a RIFF of another form") << avi;
    QTest::newRow("no format chunk") << C::Riff(C::Chunk("data", dati));
    QTest::newRow("no data chunk") << C::Riff(mono8);
    QTest::newRow("two format chunks") << C::Riff(mono8 + mono8 + C::Chunk("data", dati));
    QTest::newRow("two data chunks before the format")
        << C::Riff(C::Chunk("data", dati) + C::Chunk("data", dati) + mono8);
    QTest::newRow("a format chunk of 14 bytes")
        << C::Riff(C::Chunk("fmt ", C::CorpoFmt(1, 1, 11025, 8).left(14)) + C::Chunk("data", dati));
    QTest::newRow("zero channels") << C::Riff(Formato(1, 0, 11025, 8, 1) + C::Chunk("data", dati));
    QTest::newRow("three channels") << C::Riff(Formato(1, 3, 11025, 8) + C::Chunk("data", dati));
    QTest::newRow("0 Hz") << C::Riff(Formato(1, 1, 0, 8) + C::Chunk("data", dati));
    QTest::newRow("4 GHz") << C::Riff(Formato(1, 1, 0xffffffffu, 8) + C::Chunk("data", dati));
    QTest::newRow("24-bit samples") << C::Riff(Formato(1, 1, 11025, 24) + C::Chunk("data", dati));
    QTest::newRow("0-bit samples") << C::Riff(Formato(1, 1, 11025, 0, 1) + C::Chunk("data", dati));
    QTest::newRow("floating point") << C::Riff(Formato(3, 1, 11025, 16) + C::Chunk("data", dati));
    QTest::newRow("A-law") << C::Riff(Formato(6, 1, 11025, 8) + C::Chunk("data", dati));
    QTest::newRow("the extensible format")
        << C::Riff(Formato(0xfffe, 1, 11025, 16) + C::Chunk("data", dati));
    QTest::newRow("a block alignment that disagrees")
        << C::Riff(Formato(1, 1, 11025, 16, 1) + C::Chunk("data", dati));
    QTest::newRow("an empty data chunk") << C::Wave(1, 11025, 8, {});
    QTest::newRow("data smaller than one frame") << C::Wave(2, 11025, 16, "abc");
    QTest::newRow("a text file") << QByteArray(
        "RIFF is a container format, WAVE one of its forms.");
    QByteArray rumore(4096, '\0');
    QRandomGenerator(1).fillRange(reinterpret_cast<quint32*>(rumore.data()), rumore.size() / 4);
    QTest::newRow("random bytes") << rumore;
    QTest::newRow("random bytes behind a RIFF WAVE header")
        << ConDimensioneRiff(QByteArray("RIFF\0\0\0\0WAVE", 12) + rumore, 4 + 4096);
}

void tst_LettoreWave::rifiuta()
{
    QFETCH(QByteArray, immagine);

    QVERIFY(!LettoreWave::Leggi(immagine.constData(), immagine.size()));
}

void tst_LettoreWave::ogniTroncamentoERifiutato()
{
    // An image cut anywhere, even just before its pad byte, still declares the whole length.
    const QByteArray intera = ComeIlSuonoDelProgramma(301);
    QVERIFY(LettoreWave::Leggi(intera.constData(), intera.size()));
    for (qsizetype n = 0; n < intera.size(); ++n) {
        const QByteArray troncata = intera.left(n);
        if (LettoreWave::Leggi(troncata.constData(), troncata.size()))
            QFAIL(
                qPrintable(QStringLiteral("accepted at %1 of %2 bytes").arg(n).arg(intera.size())));
    }
}

void tst_LettoreWave::alterazioniCasualiRestanoNeiLimiti()
{
    const QByteArray originale = C::Riff(C::Chunk("LIST", "abc") + C::Chunk("fact", "\x20\0\0\0")
        + Formato(1, 2, 22050, 16) + C::Chunk("data", Campioni(63)));
    QRandomGenerator caso(20240607);
    int accettate = 0;
    for (int prova = 0; prova < 20000; ++prova) {
        QByteArray immagine = originale;
        const int alterazioni = 1 + caso.bounded(4);
        for (int a = 0; a < alterazioni; ++a)
            immagine[caso.bounded(int(immagine.size()))] = char(caso.bounded(256));
        if (caso.bounded(4) == 0)
            immagine.truncate(caso.bounded(int(immagine.size())));
        // A copy of exactly the image's size, so that a sanitizer sees any read beyond it.
        const QByteArray esatta(immagine.constData(), immagine.size());
        if (const std::optional<LettoreWave::Campioni> letto
            = LettoreWave::Leggi(esatta.constData(), esatta.size())) {
            ++accettate;
            VerificaLimiti(*letto, esatta.size());
            if (QTest::currentTestFailed())
                QFAIL(qPrintable("for the image " + esatta.toHex()));
        }
    }
    // Alterations that miss the header leave a playable image; the limits were tried on them.
    QVERIFY(accettate > 1000);
}

QTEST_APPLESS_MAIN(tst_LettoreWave)
#include "tst_LettoreWave.moc"
