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

const QString MsgAffonda = "msgbox Il corpo affonda: Il corpo affonda perché la sua densità è "
                           "maggiore di quella del liquido";
const QString MsgGalleggia = "msgbox Il corpo galleggia: Il corpo galleggia perché la sua "
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
    void corpoPresoDuranteLaCorsaParteDallaSuperficie();
    void okDuranteLaCorsaRiportaIlCorpoInAlto();
    void secondaCorsaSenzaNuoveScelte();
    void okSenzaCoppia_data();
    void okSenzaCoppia();
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

    // The body lies on the floor while the verdict is open, and goes back up only once the
    // reset has hidden it.
    bool aperta = false;
    vista.duranteMsgBox = [&] {
        aperta = true;
        QVERIFY(vista.visibili[Immagine::imgFerro]);
        QCOMPARE(vista.tops[Immagine::imgFerro], 3840.0f);
    };
    esperimento.tmrDiscesa_Timer();
    QVERIFY(aperta);
    QCOMPARE(vista.Prendi(),
        QStringList({ "top imgFerro 3860", "timer off", "top imgFerro 3840", "beep", MsgAffonda })
            + Reset + QStringList({ "top imgFerro 960", "Command1 on" }));
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
        QStringList({ "timer off", "top imgGhiaccio 960", "beep", MsgGalleggia }) + Reset
            + QStringList { "Command1 on" });
}

void tst_Esperimento::armaOK_data()
{
    // L<i> a liquid, M<i> a material, R a press on "OK" that starts a run
    QTest::addColumn<QString>("passi");
    QTest::addColumn<QList<int>>("armataAi"); // the steps, from 1, that enable "OK"

    QTest::newRow("one liquid does not arm it") << "L0" << QList<int> {};
    QTest::newRow("one material does not arm it") << "M2" << QList<int> {};
    QTest::newRow("a liquid and a material arm it") << "L0 M1" << QList<int> { 2 };
    QTest::newRow("a material and a liquid arm it") << "M3 L2" << QList<int> { 2 };
    QTest::newRow("two liquids do not arm it") << "L0 L1" << QList<int> {};
    QTest::newRow("two materials do not arm it") << "M1 M3" << QList<int> {};
    QTest::newRow("the same liquid twice does not arm it") << "L3 L3" << QList<int> {};
    QTest::newRow("a material after two liquids arms it") << "L0 L1 M2" << QList<int> { 3 };
    QTest::newRow("a liquid after three materials arms it") << "M0 M1 M2 L1" << QList<int> { 4 };
    QTest::newRow("a third and fourth choice leave it alone") << "L0 M0 L1 M1" << QList<int> { 2 };
    QTest::newRow("one choice during a run leaves it off") << "L0 M1 R M3" << QList<int> { 2 };
    QTest::newRow("two choices during a run re-arm it") << "L0 M1 R L2 M0" << QList<int> { 2, 5 };
    QTest::newRow("two liquids during a run re-arm it, the material kept")
        << "L0 M1 R L2 L3" << QList<int> { 2, 5 };
}

void tst_Esperimento::armaOK()
{
    QFETCH(QString, passi);
    QFETCH(QList<int>, armataAi);

    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    int contate = 0;
    const QStringList lista = passi.split(' ');
    for (int n = 0; n < lista.size(); ++n) {
        vista.Prendi();
        const int indice = lista[n].mid(1).toInt();
        if (lista[n] == "R") {
            esperimento.AvviaDiscesa();
            QVERIFY(vista.timerAttivo);
            QVERIFY(!vista.okAbilitato);
            contate = 0;
            continue;
        }
        if (lista[n].startsWith('L'))
            esperimento.ScegliLiquido(indice);
        else
            esperimento.ScegliMateriale(indice);
        const QStringList chiamate = vista.Prendi();
        QVERIFY2(!chiamate.contains("Command1 off"), "a choice must never disable OK");
        QCOMPARE(chiamate.count("Command1 on"), armataAi.contains(n + 1) ? 1 : 0);
        QCOMPARE(int(esperimento.Stato().NumScelte), ++contate);
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
    QCOMPARE(armamenti, 0); // liquids alone
    QCOMPARE(int(esperimento.Stato().NumScelte), 255);

    // The material completes the pair at the top of the count and arms "OK"; a run clears
    // the count, and two new choices arm "OK" again.
    esperimento.ScegliMateriale(Ferro);
    QCOMPARE(vista.Prendi().count("Command1 on"), 1);
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
            "top imgLegno 960", "mostra imgLegno", "nascondi imgGhiaccio", "nascondi imgFerro",
            "nascondi imgRame" }));

    // Changing the material while its body shows swaps the body. Copper, whose design puts
    // it on the floor, comes into view at the surface like the others.
    esperimento.ScegliMateriale(Rame);
    QCOMPARE(vista.Prendi(),
        QStringList({ "bitmap imgMateriale 110", "caption lblPSMateriale Densità = 8,96",
            "top imgRame 960", "mostra imgRame", "nascondi imgLegno", "nascondi imgFerro",
            "nascondi imgGhiaccio" }));
    QCOMPARE(vista.tops[Immagine::imgRame], 960.0f);

    // The body in view, chosen again, is not placed anew.
    esperimento.ScegliMateriale(Rame);
    QVERIFY(vista.Prendi().filter("top").isEmpty());
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

    // Mercury now holds the iron up: the very next tick ends the run, and the iron shows at
    // the surface under the floating verdict, not where its descent stopped.
    esperimento.ScegliLiquido(Mercurio);
    vista.Prendi();
    vista.duranteMsgBox = [&] {
        QVERIFY(vista.visibili[Immagine::imgFerro]);
        QCOMPARE(vista.tops[Immagine::imgFerro], 960.0f);
    };
    esperimento.tmrDiscesa_Timer();
    QCOMPARE(vista.Prendi(),
        QStringList({ "timer off", "top imgFerro 960", "beep", MsgGalleggia }) + Reset
            + QStringList { "Command1 on" });
}

void tst_Esperimento::corpoPresoDuranteLaCorsaParteDallaSuperficie()
{
    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    esperimento.ScegliLiquido(Acqua);
    esperimento.ScegliMateriale(Ferro);
    esperimento.AvviaDiscesa();
    esperimento.tmrDiscesa_Timer();

    // The sinking body, chosen again, goes on from where it is.
    esperimento.ScegliMateriale(Ferro);
    esperimento.tmrDiscesa_Timer();
    QCOMPARE(vista.tops[Immagine::imgFerro], 1060.0f);

    // Copper, whose design puts it on the floor, takes over at the surface and sinks from
    // there; the iron stays hidden where it was.
    esperimento.ScegliMateriale(Rame);
    QCOMPARE(vista.tops[Immagine::imgRame], 960.0f);
    esperimento.tmrDiscesa_Timer();
    QCOMPARE(vista.tops[Immagine::imgRame], 1010.0f);
    QCOMPARE(vista.tops[Immagine::imgFerro], 1060.0f);
    QVERIFY(!vista.visibili[Immagine::imgFerro]);

    // Chosen back, the iron comes into view at the surface, not where it was left.
    esperimento.ScegliMateriale(Ferro);
    QCOMPARE(vista.tops[Immagine::imgFerro], 960.0f);
    QCOMPARE(TickFinoAllaFine(esperimento, vista), 58);
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

void tst_Esperimento::okSenzaCoppia_data()
{
    QTest::addColumn<QString>("scelte"); // two of one kind, then the other kind
    QTest::addColumn<QString>("verdetto");

    QTest::newRow("iron, wood: no liquid, no run; then water: wood floats")
        << "M1 M3 L0" << MsgGalleggia;
    QTest::newRow("water, oil: no body, no run; then iron: sinks in oil")
        << "L0 L2 M1" << MsgAffonda;
}

void tst_Esperimento::okSenzaCoppia()
{
    QFETCH(QString, scelte);
    QFETCH(QString, verdetto);

    Registratore vista;
    Esperimento esperimento(vista, ",");
    esperimento.Form_Load();
    const QStringList passi = scelte.split(' ');
    const auto scegli = [&](const QString& passo) {
        if (passo.startsWith('L'))
            esperimento.ScegliLiquido(passo.mid(1).toInt());
        else
            esperimento.ScegliMateriale(passo.mid(1).toInt());
    };
    scegli(passi[0]);
    scegli(passi[1]);
    QVERIFY(!vista.okAbilitato);
    vista.Prendi();

    // A start that reaches the experiment all the same runs nothing, and a stray tick finds
    // nothing to move.
    esperimento.AvviaDiscesa();
    QCOMPARE(vista.Prendi(), QStringList { "beep" });
    esperimento.tmrDiscesa_Timer();
    QCOMPARE(vista.Prendi(), QStringList { "timer off" });

    // The missing kind completes the experiment.
    scegli(passi[2]);
    QVERIFY(vista.okAbilitato);
    esperimento.AvviaDiscesa();
    QVERIFY(vista.timerAttivo);
    TickFinoAllaFine(esperimento, vista);
    QCOMPARE(vista.Prendi().filter("msgbox"), QStringList { verdetto });
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
