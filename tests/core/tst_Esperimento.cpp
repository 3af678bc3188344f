// SPDX-License-Identifier: GPL-3.0-or-later
#include "Esperimento.h"
#include "Registratore.h"

#include <QtTest>

namespace {
enum Liq {
    Acqua,
    Mercurio,
    Olio,
    Benzina
};
enum Mat {
    Ghiaccio,
    Ferro,
    Rame,
    Legno
};

const QString MsgAffonda = "msgbox Il corpo affonda: Il corpo affonda perchè la sua densità è "
                           "maggiore di quella del liquido";
const QString MsgGalleggia = "msgbox Il corpo galleggia: Il corpo galleggia perchè la sua "
                             "densità è minore di quella del liquido";
const QStringList Reset { "nascondi imgGhiaccio", "nascondi imgRame", "nascondi imgLegno",
    "nascondi imgFerro" };

// Ticks until the timer stops, as tmrDiscesa would; returns how many it took.
int TickFinoAllaFine(Esperimento& esperimento, Registratore& vista, int massimo = 200)
{
    int tick = 0;
    while (vista.timerAttivo && tick < massimo) {
        esperimento.tmrDiscesa_Timer();
        ++tick;
    }
    return tick;
}
} // namespace

class tst_Esperimento : public QObject {
    Q_OBJECT

private slots:
    void verdettoPerOgniCoppia_data();
    void verdettoPerOgniCoppia();
    void corsaCheAffonda();
    void corsaCheGalleggia();
    void armaOK_data();
    void armaOK();
    void oltre255Scelte();
    void resetNascondeICorpiETieneLaScelta();
    void sceltaDelMaterialeMostraSoloIlSuoCorpo();
    void sceltaDelLiquidoCaricaLeSueImmagini_data();
    void sceltaDelLiquidoCaricaLeSueImmagini();
    void testiDelleDensita_data();
    void testiDelleDensita();
    void sceltaDuranteLaCorsaValeAlTickSeguente();
    void ramePresoDuranteLaCorsaTocca_ilFondoSubito();
    void okDuranteLaCorsaRiportaIlCorpoInAlto();
    void senzaLiquidoOgniCorpoAffonda();
    void secondaCorsaSenzaNuoveScelte();
    void okSenzaCorpo();
    void indiciFuoriCatalogoNonCambianoNulla();
};

void tst_Esperimento::verdettoPerOgniCoppia_data()
{
    QTest::addColumn<int>("liquido");
    QTest::addColumn<int>("materiale");
    QTest::addColumn<bool>("affonda");

    QTest::newRow("ice floats in water") << int(Acqua) << int(Ghiaccio) << false;
    QTest::newRow("iron sinks in water") << int(Acqua) << int(Ferro) << true;
    QTest::newRow("copper sinks in water") << int(Acqua) << int(Rame) << true;
    QTest::newRow("wood floats in water") << int(Acqua) << int(Legno) << false;
    QTest::newRow("ice floats in mercury") << int(Mercurio) << int(Ghiaccio) << false;
    QTest::newRow("iron floats in mercury") << int(Mercurio) << int(Ferro) << false;
    QTest::newRow("copper floats in mercury") << int(Mercurio) << int(Rame) << false;
    QTest::newRow("wood floats in mercury") << int(Mercurio) << int(Legno) << false;
    QTest::newRow("ice sinks in oil") << int(Olio) << int(Ghiaccio) << true;
    QTest::newRow("iron sinks in oil") << int(Olio) << int(Ferro) << true;
    QTest::newRow("copper sinks in oil") << int(Olio) << int(Rame) << true;
    QTest::newRow("wood floats in oil") << int(Olio) << int(Legno) << false;
    QTest::newRow("ice sinks in petrol") << int(Benzina) << int(Ghiaccio) << true;
    QTest::newRow("iron sinks in petrol") << int(Benzina) << int(Ferro) << true;
    QTest::newRow("copper sinks in petrol") << int(Benzina) << int(Rame) << true;
    QTest::newRow("wood floats in petrol") << int(Benzina) << int(Legno) << false;
}

void tst_Esperimento::verdettoPerOgniCoppia()
{
    QFETCH(int, liquido);
    QFETCH(int, materiale);
    QFETCH(bool, affonda);

    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    esperimento.ScegliLiquido(liquido);
    esperimento.ScegliMateriale(materiale);
    vista.Prendi();
    esperimento.AvviaDiscesa();
    QCOMPARE(vista.Prendi().contains("suono 101"), affonda);

    QCOMPARE(TickFinoAllaFine(esperimento, vista), affonda ? 58 : 1);
    const QStringList dopo = vista.Prendi();
    QCOMPARE(dopo.count(affonda ? MsgAffonda : MsgGalleggia), 1);
    QCOMPARE(dopo.filter("msgbox").size(), 1);
    QVERIFY(!vista.timerAttivo);
    QVERIFY(vista.okAbilitato);
}

void tst_Esperimento::corsaCheAffonda()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    esperimento.ScegliLiquido(Acqua);
    esperimento.ScegliMateriale(Ferro);
    vista.Prendi();

    esperimento.AvviaDiscesa();
    QCOMPARE(vista.Prendi(),
        QStringList(
            { "suono 101", "top imgFerro 960", "timer on", "mostra imgFerro", "Command1 off" }));
    QCOMPARE(esperimento.Stato().NumScelte, 0);

    for (int tick = 1; tick <= 57; ++tick) {
        esperimento.tmrDiscesa_Timer();
        QCOMPARE(vista.Prendi(), QStringList { QString("top imgFerro %1").arg(960 + 50 * tick) });
    }
    QCOMPARE(vista.tops[Immagine::imgFerro], 960.0f + 57 * 50.0f);

    esperimento.tmrDiscesa_Timer();
    QCOMPARE(vista.Prendi(),
        QStringList({ "top imgFerro 3860", "timer off", "top imgFerro 960", "beep", MsgAffonda })
            + Reset + QStringList { "Command1 on" });
    QCOMPARE(esperimento.Stato().NumScelte, 0);
    QVERIFY(!vista.visibili[Immagine::imgFerro]);
}

void tst_Esperimento::corsaCheGalleggia()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    esperimento.ScegliLiquido(Acqua);
    esperimento.ScegliMateriale(Ghiaccio);
    vista.Prendi();

    esperimento.AvviaDiscesa();
    QCOMPARE(vista.Prendi(),
        QStringList({ "top imgGhiaccio 960", "timer on", "mostra imgGhiaccio", "Command1 off" }));

    // The body stays at the surface while the verdict is open.
    vista.duranteMsgBox = [&] {
        QVERIFY(vista.visibili[Immagine::imgGhiaccio]);
        QCOMPARE(vista.tops[Immagine::imgGhiaccio], 960.0f);
    };
    esperimento.tmrDiscesa_Timer();
    QCOMPARE(vista.Prendi(),
        QStringList({ "timer off", "beep", MsgGalleggia }) + Reset + QStringList { "Command1 on" });
}

void tst_Esperimento::armaOK_data()
{
    QTest::addColumn<QString>("scelte"); // L<i> a liquid, M<i> a material
    QTest::addColumn<int>("armataAllaScelta"); // 0: "OK" is never touched

    QTest::newRow("one liquid does not arm it") << "L0" << 0;
    QTest::newRow("one material does not arm it") << "M2" << 0;
    QTest::newRow("a liquid and a material arm it") << "L0 M1" << 2;
    QTest::newRow("a material and a liquid arm it") << "M3 L2" << 2;
    QTest::newRow("two liquids arm it") << "L0 L1" << 2;
    QTest::newRow("two materials arm it") << "M0 M1" << 2;
    QTest::newRow("the same liquid twice arms it") << "L3 L3" << 2;
    QTest::newRow("a third and fourth choice leave it alone") << "L0 M0 L1 M1" << 2;
}

void tst_Esperimento::armaOK()
{
    QFETCH(QString, scelte);
    QFETCH(int, armataAllaScelta);

    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    const QStringList passi = scelte.split(' ');
    for (int n = 0; n < passi.size(); ++n) {
        vista.Prendi();
        const int indice = passi[n].mid(1).toInt();
        if (passi[n].startsWith('L'))
            esperimento.ScegliLiquido(indice);
        else
            esperimento.ScegliMateriale(indice);
        const QStringList chiamate = vista.Prendi();
        QVERIFY2(!chiamate.contains("Command1 off"), "a choice must never disable OK");
        QCOMPARE(chiamate.contains("Command1 on"), n + 1 == armataAllaScelta);
        QCOMPARE(int(esperimento.Stato().NumScelte), n + 1);
    }
}

void tst_Esperimento::oltre255Scelte()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    int armamenti = 0;
    for (int n = 0; n < 600; ++n) {
        esperimento.ScegliLiquido(n % 4);
        armamenti += vista.Prendi().count("Command1 on");
    }
    QCOMPARE(armamenti, 1);
    QCOMPARE(int(esperimento.Stato().NumScelte), 255);

    // A run clears the count, and two new choices arm "OK" again.
    esperimento.ScegliMateriale(Ferro);
    esperimento.AvviaDiscesa();
    QCOMPARE(int(esperimento.Stato().NumScelte), 0);
    vista.Prendi();
    esperimento.ScegliMateriale(Legno);
    esperimento.ScegliLiquido(Acqua);
    QCOMPARE(vista.Prendi().count("Command1 on"), 1);
}

void tst_Esperimento::resetNascondeICorpiETieneLaScelta()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    QCOMPARE(vista.Prendi(), Reset);

    esperimento.ScegliLiquido(Olio);
    esperimento.ScegliMateriale(Rame);
    const StatoEsperimento prima = esperimento.Stato();
    vista.Prendi();

    esperimento.Form_Load();
    QCOMPARE(vista.Prendi(), Reset); // nothing else: no label, picture or "OK" is touched
    const StatoEsperimento& dopo = esperimento.Stato();
    QCOMPARE(dopo.NumScelte, 0);
    QCOMPARE(dopo.IndiceLiquido, prima.IndiceLiquido);
    QCOMPARE(dopo.IndiceMateriale, prima.IndiceMateriale);
    QCOMPARE(dopo.DensitaLiquido, 0.9);
    QCOMPARE(dopo.DensitaMateriale, 8.96);
    QVERIFY(dopo.imgCorpo == Immagine::imgRame);
    QVERIFY(dopo.imgAltro1 == Immagine::imgLegno);
    QVERIFY(dopo.imgAltro2 == Immagine::imgFerro);
    QVERIFY(dopo.imgAltro3 == Immagine::imgGhiaccio);
}

void tst_Esperimento::sceltaDelMaterialeMostraSoloIlSuoCorpo()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    vista.Prendi();

    esperimento.ScegliMateriale(Legno);
    QCOMPARE(vista.Prendi(),
        QStringList({ "bitmap imgMateriale 109", "caption lblPSMateriale Densità = 0,45",
            "mostra imgLegno", "nascondi imgGhiaccio", "nascondi imgFerro", "nascondi imgRame" }));

    // Changing the material while its body shows swaps the body. Copper, never run yet,
    // shows at its design top on the floor; nothing moves it when it is chosen.
    esperimento.ScegliMateriale(Rame);
    QCOMPARE(vista.Prendi(),
        QStringList({ "Command1 on", "bitmap imgMateriale 110",
            "caption lblPSMateriale Densità = 8,96", "mostra imgRame", "nascondi imgLegno",
            "nascondi imgFerro", "nascondi imgGhiaccio" }));
    QCOMPARE(vista.tops[Immagine::imgRame], 3840.0f);
}

void tst_Esperimento::sceltaDelLiquidoCaricaLeSueImmagini_data()
{
    QTest::addColumn<int>("liquido");
    QTest::addColumn<QStringList>("chiamate");

    QTest::newRow("water") << int(Acqua)
                           << QStringList { "bitmap imgLiquido 104", "bitmap imgContenitore 101",
                                  "caption lblPSLiquido Densità= 1" };
    QTest::newRow("mercury") << int(Mercurio)
                             << QStringList { "bitmap imgLiquido 106", "bitmap imgContenitore 103",
                                    "caption lblPSLiquido Densità= 13,6" };
    QTest::newRow("oil") << int(Olio)
                         << QStringList { "bitmap imgLiquido 105", "bitmap imgContenitore 102",
                                "caption lblPSLiquido Densità= 0,9" };
    QTest::newRow("petrol shows mercury's pictures")
        << int(Benzina)
        << QStringList { "bitmap imgLiquido 106", "bitmap imgContenitore 103",
               "caption lblPSLiquido Densità= 0,73" };
}

void tst_Esperimento::sceltaDelLiquidoCaricaLeSueImmagini()
{
    QFETCH(int, liquido);
    QFETCH(QStringList, chiamate);

    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    vista.Prendi();
    // The same choice twice loads its pictures anew each time.
    for (int volta = 0; volta < 2; ++volta) {
        esperimento.ScegliLiquido(liquido);
        QCOMPARE(vista.Prendi().filter(QRegularExpression("^(bitmap|caption)")), chiamate);
    }
}

void tst_Esperimento::testiDelleDensita_data()
{
    QTest::addColumn<QString>("separatore");
    QTest::addColumn<QStringList>("liquidi");
    QTest::addColumn<QStringList>("materiali");

    QTest::newRow("an Italian comma")
        << "," << QStringList { "Densità= 1", "Densità= 13,6", "Densità= 0,9", "Densità= 0,73" }
        << QStringList { "Densità = 0,92", "Densità = 7,86", "Densità = 8,96", "Densità = 0,45" };
    QTest::newRow("an English point")
        << "." << QStringList { "Densità= 1", "Densità= 13.6", "Densità= 0.9", "Densità= 0.73" }
        << QStringList { "Densità = 0.92", "Densità = 7.86", "Densità = 8.96", "Densità = 0.45" };
}

void tst_Esperimento::testiDelleDensita()
{
    QFETCH(QString, separatore);
    QFETCH(QStringList, liquidi);
    QFETCH(QStringList, materiali);

    Registratore vista;
    Esperimento esperimento(vista, separatore.toStdString());
    for (int i = 0; i < 4; ++i) {
        esperimento.ScegliLiquido(i);
        QCOMPARE(vista.captions[Etichetta::lblPSLiquido], liquidi[i]);
        esperimento.ScegliMateriale(i);
        QCOMPARE(vista.captions[Etichetta::lblPSMateriale], materiali[i]);
    }
}

void tst_Esperimento::sceltaDuranteLaCorsaValeAlTickSeguente()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    esperimento.ScegliLiquido(Acqua);
    esperimento.ScegliMateriale(Ferro);
    esperimento.AvviaDiscesa();
    for (int tick = 0; tick < 10; ++tick)
        esperimento.tmrDiscesa_Timer();
    QCOMPARE(vista.tops[Immagine::imgFerro], 1460.0f);

    // Mercury now holds the iron up: the very next tick ends the run, without moving it.
    esperimento.ScegliLiquido(Mercurio);
    vista.Prendi();
    esperimento.tmrDiscesa_Timer();
    QCOMPARE(vista.Prendi(),
        QStringList({ "timer off", "beep", MsgGalleggia }) + Reset + QStringList { "Command1 on" });
    QCOMPARE(vista.tops[Immagine::imgFerro], 1460.0f);
}

void tst_Esperimento::ramePresoDuranteLaCorsaTocca_ilFondoSubito()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    esperimento.ScegliLiquido(Acqua);
    esperimento.ScegliMateriale(Ferro);
    esperimento.AvviaDiscesa();
    esperimento.tmrDiscesa_Timer();

    // Copper takes over where it stands, on the floor, and its first step passes the limit.
    esperimento.ScegliMateriale(Rame);
    vista.Prendi();
    esperimento.tmrDiscesa_Timer();
    QCOMPARE(vista.Prendi().mid(0, 5),
        QStringList({ "top imgRame 3890", "timer off", "top imgRame 960", "beep", MsgAffonda }));
    QCOMPARE(vista.tops[Immagine::imgFerro], 1010.0f); // left where it was, hidden
    QVERIFY(!vista.visibili[Immagine::imgFerro]);
}

void tst_Esperimento::okDuranteLaCorsaRiportaIlCorpoInAlto()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    esperimento.ScegliLiquido(Acqua);
    esperimento.ScegliMateriale(Rame);
    esperimento.AvviaDiscesa();
    for (int tick = 0; tick < 20; ++tick)
        esperimento.tmrDiscesa_Timer();
    QVERIFY(!vista.okAbilitato);

    // Two choices during the run re-arm "OK"; pressing it restarts from the surface.
    esperimento.ScegliLiquido(Olio);
    esperimento.ScegliMateriale(Rame);
    QVERIFY(vista.okAbilitato);
    esperimento.AvviaDiscesa();
    QCOMPARE(vista.tops[Immagine::imgRame], 960.0f);
    QVERIFY(vista.timerAttivo);
    QCOMPARE(TickFinoAllaFine(esperimento, vista), 58);
}

void tst_Esperimento::senzaLiquidoOgniCorpoAffonda()
{
    for (int materiale = Ghiaccio; materiale <= Legno; ++materiale) {
        Registratore vista;
        Esperimento esperimento(vista, ",");
        esperimento.Form_Load();
        esperimento.ScegliMateriale((materiale + 1) % 4);
        esperimento.ScegliMateriale(materiale);
        esperimento.AvviaDiscesa();
        QCOMPARE(esperimento.Stato().DensitaLiquido, 0.0);
        QCOMPARE(TickFinoAllaFine(esperimento, vista), 58);
        QVERIFY(vista.Prendi().contains(MsgAffonda));
    }
}

void tst_Esperimento::secondaCorsaSenzaNuoveScelte()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    esperimento.ScegliLiquido(Olio);
    esperimento.ScegliMateriale(Ferro);
    esperimento.AvviaDiscesa();
    TickFinoAllaFine(esperimento, vista);
    const QStringList prima = vista.Prendi();

    esperimento.AvviaDiscesa();
    QCOMPARE(TickFinoAllaFine(esperimento, vista), 58);
    const QStringList seconda = vista.Prendi();
    QCOMPARE(seconda, prima.mid(prima.indexOf("suono 101")));
}

void tst_Esperimento::okSenzaCorpo()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    esperimento.ScegliLiquido(Acqua);
    esperimento.ScegliLiquido(Olio);
    QVERIFY(vista.okAbilitato);
    vista.Prendi();

    esperimento.AvviaDiscesa();
    QCOMPARE(vista.Prendi(), QStringList { "beep" });
    QVERIFY(!vista.timerAttivo);
    QVERIFY(vista.okAbilitato);
    esperimento.tmrDiscesa_Timer(); // a stray tick finds nothing to move and stays harmless
    QVERIFY(!vista.timerAttivo);

    // Choosing a body is then enough for "OK" to run the experiment.
    esperimento.ScegliMateriale(Legno);
    esperimento.AvviaDiscesa();
    QVERIFY(vista.timerAttivo);
    QCOMPARE(TickFinoAllaFine(esperimento, vista), 1);
    QVERIFY(vista.Prendi().contains(MsgGalleggia));
}

void tst_Esperimento::indiciFuoriCatalogoNonCambianoNulla()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    vista.Prendi();
    for (int indice : { -1, 4, 255, 256, 32767, -32768 }) {
        esperimento.ScegliLiquido(indice);
        esperimento.ScegliMateriale(indice);
    }
    QCOMPARE(vista.Prendi(), QStringList());
    QCOMPARE(esperimento.Stato().NumScelte, 0);
}

QTEST_APPLESS_MAIN(tst_Esperimento)
#include "tst_Esperimento.moc"
