// SPDX-License-Identifier: GPL-3.0-or-later
#include "CorpusWave.h"
#include "ProvaWave.h"
#include "ServerDelRumore.h"

#include <QDir>
#include <QtTest>

// The fuzzer's seeds, in every build: each of them goes through the same checks as the
// fuzzer's inputs, and the committed files are exactly what our own code makes.
class tst_Corpus : public QObject {
    Q_OBJECT

private slots:
    void iFileSonoQuelliDelCodice();
    void ogniSemeRegge_data();
    void ogniSemeRegge();
};

void tst_Corpus::iFileSonoQuelliDelCodice()
{
    const QDir cartella(QStringLiteral(IDROVELA_CORPUS));
    QStringList attesi;
    for (const auto& [nome, immagine] : CorpusWave()) {
        attesi << nome;
        QFile file(cartella.filePath(nome));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(nome));
        QVERIFY2(file.readAll() == immagine, qPrintable(nome + " differs; run corpus-wave"));
    }
    attesi.sort();
    QCOMPARE(cartella.entryList(QDir::Files, QDir::Name), attesi);
}

void tst_Corpus::ogniSemeRegge_data()
{
    QTest::addColumn<QByteArray>("immagine");
    for (const auto& [nome, immagine] : CorpusWave())
        QTest::newRow(qPrintable(nome)) << immagine;
}

void tst_Corpus::ogniSemeRegge()
{
    QFETCH(QByteArray, immagine);
    // A copy of exactly the image's size, so that the sanitizer sees a read beyond it.
    const QByteArray esatta(immagine.constData(), immagine.size());
    QCOMPARE(ProvaWave(esatta), QString());
}

int main(int argc, char* argv[])
{
    UsaIlServerDelRumore();
    QCoreApplication app(argc, argv);
    tst_Corpus test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_Corpus.moc"
