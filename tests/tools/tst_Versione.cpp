// SPDX-License-Identifier: GPL-3.0-or-later
#include "NodoVersione.h"
#include "VerificaVersione.h"
#include "Versione.h"

#include <QtEndian>
#include <QtTest>

// The version record that the generator writes for the Windows program, read back field by
// field, and our reader of such records against damaged ones.
class tst_Versione : public QObject {
    Q_OBJECT

private slots:
    void record_data();
    void record();
    void troppoLungo();
    void recordDanneggiato_data();
    void recordDanneggiato();
};

namespace {

QByteArray Leggi(const QString& nome)
{
    QFile file(QStringLiteral(IDROVELA_RISORSE "/") + nome);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Scrivi16(QByteArray& b, int at, quint16 valore)
{
    qToLittleEndian(valore, b.data() + at);
}

} // namespace

void tst_Versione::record_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("azienda");
    QTest::addColumn<int>("byte");
    QTest::newRow("the committed record names our company in 616 bytes")
        << Leggi(QStringLiteral("windows/versione.bin")) << AziendaVersione << 616;
    QTest::newRow("no company at all") << RecordVersione(QString()) << QString() << 520;
    const QString accentata = QStringLiteral("Società Idrovela di Forlì");
    QTest::newRow("an accented company is one character a letter")
        << RecordVersione(accentata) << accentata << 568;
    const QString lunga = AziendaVersione + QLatin1Char('.');
    QTest::newRow("one character more takes the next 32-bit step")
        << RecordVersione(lunga) << lunga << 620;
}

void tst_Versione::record()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, azienda);
    QFETCH(int, byte);
    QCOMPARE(record.size(), byte);
    VerificaVersione(record, azienda);
}

void tst_Versione::troppoLungo()
{
    QVERIFY(RecordVersione(QString(40000, QLatin1Char('x'))).isEmpty());
}

void tst_Versione::recordDanneggiato_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("errore");

    const QByteArray buono = RecordVersione();
    // Where the nodes lie in our record: the root's key and value, VarFileInfo at 92,
    // StringFileInfo at 160, its table at 196 and the company's string at 220.
    QByteArray lungo = buono;
    Scrivi16(lungo, 0, 0xFFFF);
    QByteArray chiave = buono;
    Scrivi16(chiave, 92, 20); // ends VarFileInfo's node inside its own key
    QByteArray valore = buono;
    Scrivi16(valore, 2, 0xFFF0);
    QByteArray figlio = buono;
    Scrivi16(figlio, 160, 600); // StringFileInfo longer than the room that the root leaves it
    QByteArray testo = buono;
    Scrivi16(testo, 222, 10); // the company's value stops before its terminator
    QByteArray tipo = buono;
    Scrivi16(tipo, 4, 7);

    QTest::newRow("an empty record") << QByteArray() << "header";
    QTest::newRow("a record cut short of its root's length") << buono.left(300) << "length";
    QTest::newRow("a root longer than the record") << lungo << "length";
    QTest::newRow("a key that runs past its node") << chiave << "terminator";
    QTest::newRow("a value longer than its node") << valore << "value";
    QTest::newRow("a child longer than its parent") << figlio << "length";
    QTest::newRow("a text without its terminator") << testo << "terminator";
    QTest::newRow("a node of an unknown type") << tipo << "type";
}

void tst_Versione::recordDanneggiato()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, errore);
    const NodoVersione radice = NodoVersione::Leggi(record);
    QVERIFY(!radice.valido());
    QVERIFY2(radice.errore.contains(errore), qPrintable(radice.errore));
}

QTEST_GUILESS_MAIN(tst_Versione)
#include "tst_Versione.moc"
