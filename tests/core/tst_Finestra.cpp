// SPDX-License-Identifier: GPL-3.0-or-later
#include "Finestra.h"
#include "Registratore.h"

#include <QtTest>

namespace {
const QString Domanda = "domanda Uscita: Sei sicuro di voler uscire?";
} // namespace

class tst_Finestra : public QObject {
    Q_OBJECT

private slots:
    void pannelli_data();
    void pannelli();
    void uscita_data();
    void uscita();
};

void tst_Finestra::pannelli_data()
{
    // S opens the explanation, I the information, s and i their arrows, E is Escape
    QTest::addColumn<QString>("passi");
    QTest::addColumn<QStringList>("chiamate");
    QTest::addColumn<QString>("aperti"); // at the end, the one in front first

    QTest::newRow("each panel opens and its arrow closes it")
        << "S s I i"
        << QStringList { "apri Frame3", "chiudi Frame3", "apri Frame4", "chiudi Frame4" } << "";
    QTest::newRow("opening an open panel, or closing a closed one, changes nothing")
        << "S S i I I s" << QStringList { "apri Frame3", "apri Frame4", "chiudi Frame3" }
        << "Frame4";
    QTest::newRow("Escape closes the information in front, then the explanation, then nothing")
        << "S I E E E"
        << QStringList { "apri Frame3", "apri Frame4", "chiudi Frame4", "chiudi Frame3" } << "";
    QTest::newRow("the information stays in front however the two were opened")
        << "I S" << QStringList { "apri Frame4", "apri Frame3" } << "Frame4 Frame3";
}

void tst_Finestra::pannelli()
{
    QFETCH(QString, passi);
    QFETCH(QStringList, chiamate);
    QFETCH(QString, aperti);

    Registratore vista;
    Finestra finestra(vista);
    for (const QString& passo : passi.split(' ')) {
        if (passo == "S")
            finestra.mnprince_Click();
        else if (passo == "s")
            finestra.Command3_Click();
        else if (passo == "I")
            finestra.mninfo_Click();
        else if (passo == "i")
            finestra.Image1_Click();
        else
            finestra.Form_Escape();
    }
    QCOMPARE(vista.Prendi(), chiamate);
    QStringList davanti;
    for (Pannello pannello : finestra.Aperti())
        davanti << Nome(pannello);
    QCOMPARE(davanti.join(' '), aperti);
}

void tst_Finestra::uscita_data()
{
    // M is "Esci" in the menu, C a request to close the window; the answers in order
    QTest::addColumn<QString>("passi");
    QTest::addColumn<QString>("risposte");
    QTest::addColumn<QStringList>("chiamate");
    QTest::addColumn<QList<bool>>("restaAperta"); // what each close request returned

    QTest::newRow("Esci answered No: nothing ends")
        << "M"
        << "N" << QStringList { Domanda } << QList<bool> {};
    QTest::newRow("Esci answered Yes: the program ends")
        << "M"
        << "Y" << QStringList { Domanda, "termina" } << QList<bool> {};
    QTest::newRow("a close answered No keeps the window; asked again, Yes ends it")
        << "C C"
        << "N Y" << QStringList { Domanda, Domanda, "termina" } << QList<bool> { true, false };
    QTest::newRow("after Yes, a close request goes without asking again")
        << "M C"
        << "Y" << QStringList { Domanda, "termina" } << QList<bool> { false };
}

void tst_Finestra::uscita()
{
    QFETCH(QString, passi);
    QFETCH(QString, risposte);
    QFETCH(QStringList, chiamate);
    QFETCH(QList<bool>, restaAperta);

    Registratore vista;
    Finestra finestra(vista);
    const QStringList elenco = risposte.split(' ');
    int risposta = 0;
    QList<bool> restituiti;
    for (const QString& passo : passi.split(' ')) {
        vista.risposta = risposta < elenco.size() && elenco[risposta] == "Y";
        const int domande = vista.chiamate.count(Domanda);
        if (passo == "M")
            finestra.mnexit_Click();
        else
            restituiti << finestra.Form_Unload();
        risposta += vista.chiamate.count(Domanda) - domande;
    }
    QCOMPARE(vista.Prendi(), chiamate);
    QCOMPARE(restituiti, restaAperta);
}

QTEST_APPLESS_MAIN(tst_Finestra)
#include "tst_Finestra.moc"
