// SPDX-License-Identifier: GPL-3.0-or-later
#include "LettorePe.h"
#include "VerificaVersione.h"
#include "Versione.h"

#include <QtEndian>
#include <QtTest>

// The Windows program as built, read back by our own reader of the executable format: the
// resource section holds the whole resource table, each resource with the bytes of its
// committed file, and the program is an x86-64 window program that needs only the system's
// DLLs. Damaged executables give a clear error.
class tst_Eseguibile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void intestazioni();
    void importazioni();
    void tabella();
    void righe_data();
    void righe();
    void gruppi_data();
    void gruppi();
    void versione();
    void danneggiato_data();
    void danneggiato();

private:
    LettorePe::Risorsa Trova(const QString& chiave) const;

    QByteArray m_file;
    QList<LettorePe::Risorsa> m_risorse;
};

namespace {

QByteArray Leggi(const QString& percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Risorsa(const QString& nome)
{
    return Leggi(QStringLiteral(IDROVELA_RISORSE "/") + nome);
}

quint32 U32(const QByteArray& b, qint64 at)
{
    return at >= 0 && at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0;
}

quint16 U16(const QByteArray& b, qint64 at)
{
    return at >= 0 && at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}

QByteArray Con32(QByteArray b, qint64 at, quint32 valore)
{
    if (at >= 0 && at + 4 <= b.size())
        qToLittleEndian(valore, b.data() + at);
    return b;
}

QByteArray Con16(QByteArray b, qint64 at, quint16 valore)
{
    if (at >= 0 && at + 2 <= b.size())
        qToLittleEndian(valore, b.data() + at);
    return b;
}

// The manifest of common controls and DPI awareness, the one resource outside the table.
const QString Manifesto = QStringLiteral("24/1/");

// The DLLs that every Windows from 7 on has; compared without regard to case.
const QStringList DllDiSistema = { "KERNEL32.dll", "USER32.dll", "GDI32.dll", "COMCTL32.dll",
    "COMDLG32.dll", "WINMM.dll", "msvcrt.dll", "ADVAPI32.dll", "SHELL32.dll", "OLE32.dll",
    "OLEAUT32.dll", "SHLWAPI.dll", "UXTHEME.dll", "VERSION.dll", "OLEACC.dll" };

} // namespace

void tst_Eseguibile::initTestCase()
{
    m_file = Leggi(QStringLiteral(IDROVELA_EXE));
    QVERIFY2(!m_file.isEmpty(), "no " IDROVELA_EXE ": build it with tools/windows.sh");
    const LettorePe pe(m_file);
    QVERIFY2(pe.valido(), qPrintable(pe.errore()));
    m_risorse = pe.risorse();
    qInfo("%s: %lld bytes, %lld resources", IDROVELA_EXE, qint64(m_file.size()),
        qint64(m_risorse.size()));
    for (const LettorePe::Risorsa& r : m_risorse)
        qInfo("  %-18s %7lld bytes", qPrintable(r.Chiave()), qint64(r.dati.size()));
}

LettorePe::Risorsa tst_Eseguibile::Trova(const QString& chiave) const
{
    for (const LettorePe::Risorsa& r : m_risorse)
        if (r.Chiave() == chiave)
            return r;
    return {};
}

void tst_Eseguibile::intestazioni()
{
    const LettorePe pe(m_file);
    QCOMPARE(pe.macchina(), quint16(0x8664)); // x86-64
    QCOMPARE(pe.sottosistema(), quint16(2)); // a window program, no console
    QStringList sezioni;
    for (const LettorePe::Sezione& s : pe.sezioni())
        sezioni.append(s.nome);
    QVERIFY2(sezioni.contains(QStringLiteral(".rsrc")), qPrintable(sezioni.join(' ')));
}

void tst_Eseguibile::importazioni()
{
    const QStringList dll = LettorePe(m_file).importazioni();
    qInfo("imports: %s", qPrintable(dll.join(QStringLiteral(", "))));
    QVERIFY(dll.contains(QStringLiteral("KERNEL32.dll"), Qt::CaseInsensitive));
    for (const QString& d : dll) {
        // The runtime of the compiler is linked in, never looked for beside the program.
        for (const char* runtime : { "libstdc++", "libgcc", "libwinpthread" })
            QVERIFY2(!d.startsWith(QLatin1String(runtime), Qt::CaseInsensitive), qPrintable(d));
        QVERIFY2(DllDiSistema.contains(d, Qt::CaseInsensitive), qPrintable(d));
    }
}

void tst_Eseguibile::tabella()
{
    QStringList attese;
    for (int id = 101; id <= 110; ++id)
        attese.append(QStringLiteral("2/%1/1040").arg(id));
    attese << "CUSTOM/101/1040"
           << "3/1/1040"
           << "3/2/1040"
           << "3/3/1040"
           << "3/30001/0"
           << "14/1/0"
           << "14/101/1040"
           << "14/102/1040"
           << "14/103/1040"
           << "16/1/1040";
    // Beside the table, each picture that the window shows drawn again at 2x and 3x, as raw
    // data: the ten bitmaps at 1000 times the scale plus their number, the window's own five
    // pictures from 1.
    for (int scala : { 2, 3 }) {
        for (int id = 1; id <= 5; ++id)
            attese.append(QStringLiteral("10/%1/0").arg(1000 * scala + id));
        for (int id = 101; id <= 110; ++id)
            attese.append(QStringLiteral("10/%1/0").arg(1000 * scala + id));
    }
    QStringList trovate;
    for (const LettorePe::Risorsa& r : m_risorse)
        if (!r.Chiave().startsWith(Manifesto) || r.dati.isEmpty())
            trovate.append(r.Chiave());
    trovate.sort();
    attese.sort();
    QCOMPARE(trovate, attese);
}

void tst_Eseguibile::righe_data()
{
    QTest::addColumn<QString>("chiave");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("intestazione"); // bytes of the committed file that are not kept

    const auto riga = [](const char* cosa, const QString& chiave, int byte, const char* file,
                          int intestazione = 0) {
        QTest::addRow("%s is %s", qPrintable(chiave), cosa)
            << chiave << byte << QString::fromLatin1(file) << intestazione;
    };
    // A bitmap resource is its file without the 14-byte file header.
    riga("the tank of water", "2/101/1040", 316264, "bitmap/contenitore_acqua.bmp", 14);
    riga("the tank of oil", "2/102/1040", 316264, "bitmap/contenitore_olio.bmp", 14);
    riga("the grey tank", "2/103/1040", 316264, "bitmap/contenitore_grigio.bmp", 14);
    riga("the puddle of water", "2/104/1040", 5752, "bitmap/pozza_acqua.bmp", 14);
    riga("the puddle of oil", "2/105/1040", 5956, "bitmap/pozza_olio.bmp", 14);
    riga("the grey puddle", "2/106/1040", 5140, "bitmap/pozza_grigia.bmp", 14);
    riga("the sample of ice", "2/107/1040", 6480, "bitmap/cubo_ghiaccio.bmp", 14);
    riga("the sample of iron", "2/108/1040", 6480, "bitmap/cubo_ferro.bmp", 14);
    riga("the sample of wood", "2/109/1040", 6480, "bitmap/cubo_legno.bmp", 14);
    riga("the sample of copper", "2/110/1040", 11508, "bitmap/cubo_rame.bmp", 14);
    riga("the whole WAVE file", "CUSTOM/101/1040", 40272, "suono/bolle.wav");
    riga("the ice block's icon", "3/1/1040", 5672, "windows/ghiaccio.dib");
    riga("the iron block's icon", "3/2/1040", 5672, "windows/ferro.dib");
    riga("the wooden block's icon", "3/3/1040", 5672, "windows/legno.dib");
    riga("the bust's icon", "3/30001/0", 19496, "windows/busto.dib");
    riga("the program's icon group", "14/1/0", 20, "windows/gruppo_busto.bin");
    riga("the ice block's group", "14/101/1040", 20, "windows/gruppo_ghiaccio.bin");
    riga("the iron block's group", "14/102/1040", 20, "windows/gruppo_ferro.bin");
    riga("the wooden block's group", "14/103/1040", 20, "windows/gruppo_legno.bin");
    riga("the version record", "16/1/1040", 616, "windows/versione.bin");
}

void tst_Eseguibile::righe()
{
    QFETCH(QString, chiave);
    QFETCH(int, byte);
    QFETCH(QString, file);
    QFETCH(int, intestazione);

    const QByteArray dati = Trova(chiave).dati;
    QVERIFY2(!dati.isEmpty(), "not in the executable");
    QCOMPARE(dati.size(), byte);
    const QByteArray deposito = Risorsa(file);
    if (intestazione) {
        QVERIFY(deposito.startsWith("BM"));
        QCOMPARE(U32(deposito, 2), quint32(deposito.size()));
        QCOMPARE(U32(deposito, 10), quint32(14 + 40)); // the pixels follow the two headers
    }
    QCOMPARE(deposito.size() - intestazione, byte);
    QVERIFY2(dati == deposito.mid(intestazione), "the bytes differ from the committed file");
}

void tst_Eseguibile::gruppi_data()
{
    QTest::addColumn<QString>("gruppo");
    QTest::addColumn<QString>("immagine");
    QTest::addColumn<int>("lato");
    QTest::newRow("group 1, the program's icon, is the bust") << "14/1/0"
                                                              << "3/30001/0" << 128;
    QTest::newRow("group 101 is the ice block") << "14/101/1040"
                                                << "3/1/1040" << 64;
    QTest::newRow("group 102 is the iron block") << "14/102/1040"
                                                 << "3/2/1040" << 64;
    QTest::newRow("group 103 is the wooden block") << "14/103/1040"
                                                   << "3/3/1040" << 64;
}

// The shell finds an icon's image through its group's directory, by identifier and size.
void tst_Eseguibile::gruppi()
{
    QFETCH(QString, gruppo);
    QFETCH(QString, immagine);
    QFETCH(int, lato);
    const QByteArray g = Trova(gruppo).dati;
    const QByteArray i = Trova(immagine).dati;
    QCOMPARE(g.size(), 20);
    QCOMPARE(U16(g, 0), quint16(0));
    QCOMPARE(U16(g, 2), quint16(1)); // icons
    QCOMPARE(U16(g, 4), quint16(1)); // one image
    QCOMPARE(int(quint8(g.at(6))), lato);
    QCOMPARE(int(quint8(g.at(7))), lato);
    QCOMPARE(int(quint8(g.at(8))), 0); // 256 colours or more
    QCOMPARE(int(quint8(g.at(9))), 0);
    QCOMPARE(U16(g, 10), quint16(1)); // planes
    QCOMPARE(U16(g, 12), quint16(8)); // bits per pixel
    QCOMPARE(U32(g, 14), quint32(i.size()));
    QCOMPARE(QString::number(U16(g, 18)), immagine.section('/', 1, 1));
    // The image itself says the same.
    QCOMPARE(int(U32(i, 4)), lato);
    QCOMPARE(int(U32(i, 8)), 2 * lato);
    QCOMPARE(U16(i, 14), quint16(8));
}

void tst_Eseguibile::versione()
{
    const QByteArray record = Trova(QStringLiteral("16/1/1040")).dati;
    QCOMPARE(record.size(), 616);
    VerificaVersione(record, AziendaVersione);
}

void tst_Eseguibile::danneggiato_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("errore");

    const LettorePe pe(m_file);
    const qint64 intestazione = U32(m_file, 0x3C);
    const qint64 sezioni = intestazione + 24 + U16(m_file, intestazione + 20);
    const qint64 direttorio = pe.posizioneDirettorio(2);
    qint64 risorse = -1;
    for (const LettorePe::Sezione& s : pe.sezioni())
        if (s.nome == QLatin1String(".rsrc"))
            risorse = s.posizione;
    QVERIFY(direttorio > 0 && risorse > 0);
    // The first resource's data entry: the first entry of each of the three levels, offsets
    // counted from the start of the resource section.
    qint64 voce = 0;
    for (int livello = 0; livello < 3; ++livello)
        voce = U32(m_file, risorse + voce + 16 + 4) & 0x7FFFFFFF;

    QTest::newRow("an empty file") << QByteArray() << "MZ";
    QTest::newRow("a file cut inside its DOS header") << m_file.left(40) << "MZ";
    QTest::newRow("a text file") << QByteArray(4096, 'x') << "MZ";
    QTest::newRow("a PE header past the end of the file")
        << Con32(m_file, 0x3C, 0x7FFFFF00) << "PE header";
    QTest::newRow("no PE signature") << Con32(m_file, intestazione, 0x4C4C4548) << "signature";
    QTest::newRow("a file cut inside its section table")
        << m_file.left(int(sezioni + 50)) << "section table";
    QTest::newRow("more sections than the file holds")
        << Con16(m_file, intestazione + 6, 0xFFFF) << "section table";
    QTest::newRow("a file cut before its resources")
        << m_file.left(int(risorse + 100)) << "resource section";
    QTest::newRow("resources at an address in no section")
        << Con32(m_file, direttorio, 0x7FFF0000) << "resource section";
    QTest::newRow("a resource directory too short for its entries")
        << Con32(m_file, direttorio + 4, 20) << "entries run past";
    QTest::newRow("a resource directory that leads back to itself")
        << Con32(m_file, risorse + 16 + 4, 0x80000000) << "deeper than three levels";
    QTest::newRow("a resource name past the section")
        << Con32(m_file, risorse + 16, 0xFFFFFFF0) << "name lies past";
    QTest::newRow("a resource whose data run past the file")
        << Con32(m_file, risorse + voce + 4, 0x7FFFFFFF) << "lie outside the file";
}

void tst_Eseguibile::danneggiato()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, errore);
    const LettorePe pe(file);
    QVERIFY(!pe.valido());
    QVERIFY2(pe.errore().contains(errore), qPrintable(pe.errore()));
    QVERIFY(pe.risorse().isEmpty());
}

QTEST_GUILESS_MAIN(tst_Eseguibile)
#include "tst_Eseguibile.moc"
