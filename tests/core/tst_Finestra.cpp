// SPDX-License-Identifier: GPL-3.0-or-later
#include "Finestra.h"
#include "Registratore.h"

#include <QtTest>

Q_DECLARE_METATYPE(Posto)

namespace {
const QString Domanda = "domanda Uscita: Sei sicuro di voler uscire?";

// S opens the explanation and s closes it with its arrow, I and i the information; false for
// any other step.
bool Pannelli(Finestra& finestra, const QString& passo)
{
    if (passo == "S")
        finestra.mnprince_Click();
    else if (passo == "s")
        finestra.Command3_Click();
    else if (passo == "I")
        finestra.mninfo_Click();
    else if (passo == "i")
        finestra.Image1_Click();
    else
        return false;
    return true;
}
} // namespace

class tst_Finestra : public QObject {
    Q_OBJECT

private slots:
    void pannelli_data();
    void pannelli();
    void fuoco_data();
    void fuoco();
    void fuocoDellaCorsa_data();
    void fuocoDellaCorsa();
    void tab_data();
    void tab();
    void okDisponibile_data();
    void okDisponibile();
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
    for (const QString& passo : passi.split(' '))
        if (!Pannelli(finestra, passo))
            finestra.Form_Escape();
    QCOMPARE(vista.Prendi(), chiamate);
    QStringList davanti;
    for (Pannello pannello : finestra.Aperti())
        davanti << Nome(pannello);
    QCOMPARE(davanti.join(' '), aperti);
}

void tst_Finestra::fuoco_data()
{
    // S opens the explanation and s closes it, I and i the information; a place's name is where
    // the window says the focus went. "OK" can be pressed unless the row says otherwise.
    QTest::addColumn<QString>("passi");
    QTest::addColumn<bool>("okAbilitato");
    QTest::addColumn<QString>("dopo"); // where the last closing sends the focus

    QTest::newRow("a panel gives the focus back to the control that had it")
        << "Option2 S Command3 s" << true << "Option2";
    QTest::newRow("\"OK\" gets it back while it can be pressed")
        << "Command1 I Image1 i" << true << "Command1";
    QTest::newRow("\"OK\" that can no longer be pressed: the chosen liquid")
        << "Command1 I Image1 i" << false << "Option1";
    QTest::newRow("no focus before the panel: \"OK\"") << "S Command3 s" << true << "Command1";
    QTest::newRow("no focus before, \"OK\" disabled: the chosen liquid")
        << "S Command3 s" << false << "Option1";
    QTest::newRow("the information opened from the explanation's arrow goes back to it")
        << "Option1 S Command3 I Image1 i" << true << "Command3";
    QTest::newRow("the explanation closing under the information: the focus to its arrow")
        << "Option1 I Image1 S Command3 s" << true << "Image1";
    QTest::newRow("the information opened from the explanation, which closed first: back where "
                  "the explanation came from")
        << "Option2 S Command3 I Image1 s i" << true << "Option2";
}

void tst_Finestra::fuoco()
{
    QFETCH(QString, passi);
    QFETCH(bool, okAbilitato);
    QFETCH(QString, dopo);

    Registratore vista;
    Finestra finestra(vista);
    QString visto;
    vista.dopoPannello = [&](Pannello pannello, bool aperto) {
        if (!aperto)
            visto = Nome(finestra.FuocoDopoLaChiusura(pannello, okAbilitato));
    };
    for (const QString& passo : passi.split(' '))
        if (!Pannelli(finestra, passo))
            for (Posto posto : { Posto::Option1, Posto::Option2, Posto::Command1,
                     Posto::imgContenitore, Posto::Command3, Posto::Image1 })
                if (passo == Nome(posto))
                    finestra.FuocoA(posto);
    QCOMPARE(visto, dopo);
}

void tst_Finestra::fuocoDellaCorsa_data()
{
    QTest::addColumn<Posto>("prima"); // where the focus is as the run starts
    QTest::addColumn<Posto>("durante");
    QTest::addColumn<Posto>("dopo"); // once the run is over

    QTest::newRow("\"OK\" pressed: the tank during the run, \"OK\" again after")
        << Posto::Command1 << Posto::imgContenitore << Posto::Command1;
    QTest::newRow("no control had it: the same as from \"OK\"")
        << Posto::Nessuno << Posto::imgContenitore << Posto::Command1;
    QTest::newRow("a choice keeps it, also after the run")
        << Posto::Option2 << Posto::Option2 << Posto::Option2;
    QTest::newRow("a panel's arrow keeps it") << Posto::Image1 << Posto::Image1 << Posto::Image1;
}

void tst_Finestra::fuocoDellaCorsa()
{
    QFETCH(Posto, prima);
    QFETCH(Posto, durante);
    QFETCH(Posto, dopo);
    QCOMPARE(Nome(Finestra::FuocoAllAvvio(prima)), Nome(durante));
    QCOMPARE(Nome(Finestra::FuocoAllaFine(durante)), Nome(dopo));
}

void tst_Finestra::tab_data()
{
    // The panels opened, then Tab (+) or Shift+Tab (-) from a place, and where it goes.
    QTest::addColumn<QString>("passi");
    QTest::addColumn<QString>("dove");

    QTest::newRow("no panel open: Tab goes through the window") << "Option1 +"
                                                                << "";
    QTest::newRow("one panel: Tab stays on its arrow") << "S Command3 +"
                                                       << "Command3";
    QTest::newRow("both panels: Tab goes from the front arrow to the one behind") << "S I Image1 +"
                                                                                  << "Command3";
    QTest::newRow("both panels: and round again") << "S I Command3 +"
                                                  << "Image1";
    QTest::newRow("both panels: Shift+Tab round the other way") << "S I Image1 -"
                                                                << "Command3";
    QTest::newRow("from under the panels: to the front arrow") << "S I Option2 -"
                                                               << "Image1";
    QTest::newRow("the front panel closed: the arrow behind alone") << "S I i Command3 +"
                                                                    << "Command3";
}

void tst_Finestra::tab()
{
    QFETCH(QString, passi);
    QFETCH(QString, dove);

    Registratore vista;
    Finestra finestra(vista);
    Posto ora = Posto::Nessuno;
    QString visto;
    for (const QString& passo : passi.split(' ')) {
        if (passo == "+" || passo == "-")
            visto = Nome(finestra.Tab(ora, passo == "+"));
        else if (!Pannelli(finestra, passo))
            for (Posto posto : { Posto::Option1, Posto::Option2, Posto::Command3, Posto::Image1 })
                if (passo == Nome(posto))
                    ora = posto;
    }
    QCOMPARE(visto, dove);
}

void tst_Finestra::okDisponibile_data()
{
    // A place's name is where the focus went; "arma" is a choice of a material that armed
    // "OK", "sceglie" one that found it armed already. Whether the material's option says
    // "OK disponibile" at the end.
    QTest::addColumn<QString>("passi");
    QTest::addColumn<bool>("detto");

    QTest::newRow("the choice that armed \"OK\" says so") << "Option2 arma" << true;
    QTest::newRow("a choice with \"OK\" armed already does not") << "Option2 sceglie" << false;
    QTest::newRow("once: the focus away and back, it is news no more")
        << "Option2 arma Command1 Option2" << false;
    QTest::newRow("not while the focus is elsewhere") << "Command1 arma" << false;
    QTest::newRow("the next choice without arming ends it") << "Option2 arma sceglie" << false;
}

void tst_Finestra::okDisponibile()
{
    QFETCH(QString, passi);
    QFETCH(bool, detto);

    Registratore vista;
    Finestra finestra(vista);
    for (const QString& passo : passi.split(' '))
        if (passo == "arma" || passo == "sceglie")
            finestra.Scelto(Posto::Option2, passo == "sceglie", true);
        else
            finestra.FuocoA(passo == "Option2" ? Posto::Option2 : Posto::Command1);
    QCOMPARE(finestra.AvvisaOk(Posto::Option2), detto);
    QVERIFY(!finestra.AvvisaOk(Posto::Option1));
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
