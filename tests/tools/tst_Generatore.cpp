// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileGenerati.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The generator reproduces resources/ byte for byte, and nothing in resources/ escapes it.
class tst_Generatore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void comeNelDeposito_data();
    void comeNelDeposito();
    void nienteDiPiuNienteDiMeno();
    void stessiFileOgniVolta();
    void argomentiSbagliati_data();
    void argomentiSbagliati();
    void foglio();

private:
    QTemporaryDir m_uscita;
};

namespace {

// The scripts that we write by hand; everything else is the generator's.
const QStringList AMano = { QStringLiteral("idrovela.qrc"), QStringLiteral("idrovela.rc") };

QStringList Elenco(const QString& cartella)
{
    QStringList file;
    QDirIterator it(cartella, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        file.append(QDir(cartella).relativeFilePath(it.next()));
    file.sort();
    return file;
}

QByteArray Leggi(const QString& percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int Genera(const QStringList& argomenti, QByteArray* errori = nullptr)
{
    QProcess processo;
    processo.start(QStringLiteral(IDROVELA_GENERA), argomenti);
    if (!processo.waitForFinished(60000))
        return -1;
    if (errori)
        *errori = processo.readAllStandardError();
    return processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1;
}

} // namespace

void tst_Generatore::initTestCase()
{
    QVERIFY(m_uscita.isValid());
    QCOMPARE(Genera({ m_uscita.path() }), 0);
}

void tst_Generatore::comeNelDeposito_data()
{
    QTest::addColumn<QString>("file");
    for (const QString& file : Elenco(QStringLiteral(IDROVELA_RISORSE)))
        if (!AMano.contains(file))
            QTest::newRow(qPrintable(file)) << file;
}

void tst_Generatore::comeNelDeposito()
{
    QFETCH(QString, file);
    const QByteArray deposito = Leggi(QStringLiteral(IDROVELA_RISORSE "/") + file);
    const QByteArray generato = Leggi(m_uscita.filePath(file));
    QVERIFY2(!generato.isEmpty(), "the generator does not make it");
    QCOMPARE(generato.size(), deposito.size());
    QVERIFY2(generato == deposito, "the bytes differ: run idrovela-genera resources");
}

void tst_Generatore::nienteDiPiuNienteDiMeno()
{
    QStringList deposito = Elenco(QStringLiteral(IDROVELA_RISORSE));
    for (const QString& file : AMano)
        QVERIFY2(deposito.removeOne(file), qPrintable(file));
    QCOMPARE(Elenco(m_uscita.path()), deposito);
}

// No state survives from one drawing to the next, so the same call gives the same bytes.
void tst_Generatore::stessiFileOgniVolta()
{
    const QMap<QString, QByteArray> prima = FileGenerati();
    QCOMPARE(FileGenerati(), prima);
    for (auto it = prima.cbegin(); it != prima.cend(); ++it)
        QVERIFY2(!it.value().isEmpty(), qPrintable(it.key()));
}

void tst_Generatore::argomentiSbagliati_data()
{
    QTest::addColumn<QStringList>("argomenti");
    QTest::newRow("no folder") << QStringList {};
    QTest::newRow("two folders") << QStringList { "a", "b" };
    QTest::newRow("an unknown option") << QStringList { "--colore", "a" };
    QTest::newRow("a sheet option without its file") << QStringList { "a", "--foglio" };
    QTest::newRow("a folder inside a plain file") << QStringList { "ostacolo/dentro" };
}

void tst_Generatore::argomentiSbagliati()
{
    QFETCH(QStringList, argomenti);
    QTemporaryDir cartella;
    QFile ostacolo(cartella.filePath(QStringLiteral("ostacolo")));
    QVERIFY(ostacolo.open(QIODevice::WriteOnly));
    ostacolo.close();
    for (QString& a : argomenti)
        if (!a.startsWith('-'))
            a = cartella.filePath(a);

    QByteArray errori;
    QCOMPARE(Genera(argomenti, &errori), 1);
    QVERIFY2(errori.contains("idrovela-genera: "), errori.constData());
    QCOMPARE(Elenco(cartella.path()), QStringList { QStringLiteral("ostacolo") });
}

void tst_Generatore::foglio()
{
    QTemporaryDir cartella;
    const QString png = cartella.filePath(QStringLiteral("foglio.png"));
    QCOMPARE(Genera({ cartella.filePath(QStringLiteral("risorse")), "--foglio", png }), 0);
    const QImage foglio(png);
    // Three tanks side by side at four times their size, and room below them.
    QVERIFY(foglio.width() >= 3 * 4 * 287);
    QVERIFY(foglio.height() > 4 * 366);
}

QTEST_MAIN(tst_Generatore)
#include "tst_Generatore.moc"
