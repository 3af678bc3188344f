// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

// The Windows resource script compiled by the MinGW resource compiler, and the compiled
// resources read back: the icon images and groups by identifier and language, and the version
// record as the shell reads it.
class tst_RisorseWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void elenco();
    void immagini_data();
    void immagini();
    void gruppi_data();
    void gruppi();
    void versione();

private:
    struct Risorsa {
        quint16 tipo = 0;
        quint16 nome = 0;
        quint16 lingua = 0;
        QByteArray dati;
    };
    Risorsa Trova(quint16 tipo, quint16 nome) const;

    QList<Risorsa> m_risorse;
};

namespace {

constexpr quint16 Icona = 3;
constexpr quint16 GruppoIcone = 14;
constexpr quint16 Versione = 16;
constexpr quint16 Italiano = 1040;

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

int Allinea(int at)
{
    return (at + 3) & ~3;
}

// A node of the version record: a key, a value and the nodes it contains.
struct Nodo {
    QString chiave;
    quint16 tipo = 0;
    QByteArray valore;
    QList<Nodo> figli;
    int lunghezza = 0;

    QStringList Chiavi() const
    {
        QStringList chiavi;
        for (const Nodo& f : figli)
            chiavi.append(f.chiave);
        return chiavi;
    }
    QString Testo() const
    {
        QString testo = QString::fromUtf16(
            reinterpret_cast<const char16_t*>(valore.constData()), valore.size() / 2);
        while (testo.endsWith(QChar(0)))
            testo.chop(1);
        return testo;
    }
};

Nodo LeggiNodo(const QByteArray& b, int at)
{
    Nodo n;
    n.lunghezza = U16(b, at);
    const int byteValore = U16(b, at + 2) * (U16(b, at + 4) == 1 ? 2 : 1);
    n.tipo = U16(b, at + 4);
    int p = at + 6;
    for (; p + 1 < b.size() && U16(b, p); p += 2)
        n.chiave.append(QChar(U16(b, p)));
    p = Allinea(p + 2);
    n.valore = b.mid(p, byteValore);
    p = Allinea(p + byteValore);
    const int fine = qMin(at + n.lunghezza, int(b.size()));
    while (p + 6 <= fine) {
        const Nodo figlio = LeggiNodo(b, p);
        if (figlio.lunghezza == 0)
            break;
        n.figli.append(figlio);
        p = Allinea(p + figlio.lunghezza);
    }
    return n;
}

QByteArray Leggi(const QString& nome)
{
    QFile file(QStringLiteral(IDROVELA_RISORSE "/") + nome);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void tst_RisorseWindows::initTestCase()
{
    if (!QFileInfo(QStringLiteral(IDROVELA_WINDRES)).isExecutable())
        QSKIP("x86_64-w64-mingw32-windres is missing; tools/deps.sh test installs it");
    QTemporaryDir cartella;
    const QString res = cartella.filePath(QStringLiteral("idrovela.res"));
    QProcess windres;
    windres.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // No MinGW compiler here: the host's C preprocessor serves, the script needs no headers.
    windres.start(QStringLiteral(IDROVELA_WINDRES),
        { "--preprocessor=" IDROVELA_CPP, "-I", IDROVELA_RISORSE, "-O", "res",
            IDROVELA_RISORSE "/idrovela.rc", res });
    QVERIFY(windres.waitForFinished(60000));
    QCOMPARE(windres.exitCode(), 0);

    QFile file(res);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    for (int at = 0; at + 32 <= b.size();) {
        const quint32 dati = U32(b, at);
        const quint32 intestazione = U32(b, at + 4);
        // Names and types are numbers: 0xFFFF followed by the number.
        QCOMPARE(U16(b, at + 8), quint16(0xFFFF));
        QCOMPARE(U16(b, at + 12), quint16(0xFFFF));
        Risorsa r { U16(b, at + 10), U16(b, at + 14), U16(b, at + 16 + 4 + 2),
            b.mid(at + int(intestazione), int(dati)) };
        if (r.tipo)
            m_risorse.append(r);
        at = Allinea(at + int(intestazione + dati));
    }
}

tst_RisorseWindows::Risorsa tst_RisorseWindows::Trova(quint16 tipo, quint16 nome) const
{
    for (const Risorsa& r : m_risorse)
        if (r.tipo == tipo && r.nome == nome)
            return r;
    return {};
}

void tst_RisorseWindows::elenco()
{
    QSet<QString> trovate;
    for (const Risorsa& r : m_risorse)
        trovate.insert(QStringLiteral("%1/%2/%3").arg(r.tipo).arg(r.nome).arg(r.lingua));
    const QSet<QString> attese = { "3/30001/0", "14/1/0", "3/1/1040", "3/2/1040", "3/3/1040",
        "14/101/1040", "14/102/1040", "14/103/1040", "16/1/1040" };
    QCOMPARE(trovate, attese);
    QCOMPARE(m_risorse.size(), attese.size());
}

void tst_RisorseWindows::immagini_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("byte");
    QTest::newRow("30001 the bust") << 30001 << "busto" << 19496;
    QTest::newRow("1 the ice block") << 1 << "ghiaccio" << 5672;
    QTest::newRow("2 the iron block") << 2 << "ferro" << 5672;
    QTest::newRow("3 the wooden block") << 3 << "legno" << 5672;
}

void tst_RisorseWindows::immagini()
{
    QFETCH(int, id);
    QFETCH(QString, file);
    QFETCH(int, byte);
    const QByteArray dati = Trova(Icona, quint16(id)).dati;
    QCOMPARE(dati.size(), byte);
    QCOMPARE(dati, Leggi("windows/" + file + ".dib"));
}

void tst_RisorseWindows::gruppi_data()
{
    QTest::addColumn<int>("gruppo");
    QTest::addColumn<int>("immagine");
    QTest::addColumn<int>("lato");
    QTest::newRow("1 the program's icon is the bust") << 1 << 30001 << 128;
    QTest::newRow("101 the ice block") << 101 << 1 << 64;
    QTest::newRow("102 the iron block") << 102 << 2 << 64;
    QTest::newRow("103 the wooden block") << 103 << 3 << 64;
}

void tst_RisorseWindows::gruppi()
{
    QFETCH(int, gruppo);
    QFETCH(int, immagine);
    QFETCH(int, lato);
    const QByteArray g = Trova(GruppoIcone, quint16(gruppo)).dati;
    QCOMPARE(g.size(), 20);
    QCOMPARE(U16(g, 0), quint16(0));
    QCOMPARE(U16(g, 2), quint16(1));
    QCOMPARE(U16(g, 4), quint16(1));
    QCOMPARE(int(quint8(g.at(6))), lato);
    QCOMPARE(int(quint8(g.at(7))), lato);
    QCOMPARE(g.at(8), '\0');
    QCOMPARE(g.at(9), '\0');
    QCOMPARE(U16(g, 10), quint16(1));
    QCOMPARE(U16(g, 12), quint16(8));
    QCOMPARE(U32(g, 14), quint32(Trova(Icona, quint16(immagine)).dati.size()));
    QCOMPARE(int(U16(g, 18)), immagine);
}

void tst_RisorseWindows::versione()
{
    const Risorsa r = Trova(Versione, 1);
    QCOMPARE(r.lingua, Italiano);
    const Nodo radice = LeggiNodo(r.dati, 0);
    QCOMPARE(radice.lunghezza, r.dati.size());
    QCOMPARE(radice.chiave, QStringLiteral("VS_VERSION_INFO"));

    const QByteArray& f = radice.valore;
    QCOMPARE(f.size(), 52);
    const QList<quint32> fissa
        = { 0xFEEF04BD, 0x00010000, 0x00010000, 0, 0x00010000, 0, 0, 0, 4, 1, 0, 0, 0 };
    for (int i = 0; i < fissa.size(); ++i)
        QCOMPARE(U32(f, 4 * i), fissa[i]);

    QCOMPARE(radice.Chiavi(), (QStringList { "VarFileInfo", "StringFileInfo" }));
    const Nodo& varie = radice.figli[0];
    QCOMPARE(varie.Chiavi(), QStringList { "Translation" });
    const QByteArray traduzione = varie.figli[0].valore;
    QCOMPARE(traduzione.size(), 4);
    QCOMPARE(U16(traduzione, 0), quint16(0x0410));
    QCOMPARE(U16(traduzione, 2), quint16(0x04B0));

    const Nodo& stringhe = radice.figli[1];
    QCOMPARE(stringhe.Chiavi(), QStringList { "041004B0" });
    const Nodo& tavola = stringhe.figli[0];
    QCOMPARE(tavola.Chiavi(),
        (QStringList { "CompanyName", "ProductName", "FileVersion", "ProductVersion",
            "InternalName", "OriginalFilename" }));
    QStringList valori;
    for (const Nodo& s : tavola.figli) {
        QCOMPARE(s.tipo, quint16(1));
        valori.append(s.Testo());
    }
    QVERIFY(!valori[0].isEmpty());
    QCOMPARE(
        valori.mid(1), (QStringList { "Idrovela", "1.00", "1.00", "Idrovela", "Idrovela.exe" }));
}

QTEST_GUILESS_MAIN(tst_RisorseWindows)
#include "tst_RisorseWindows.moc"
