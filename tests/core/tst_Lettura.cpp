// SPDX-License-Identifier: GPL-3.0-or-later
#include "Disposizione.h"
#include "Esperimento.h"
#include "Lettura.h"
#include "Registratore.h"

#include <QtTest>

class tst_Lettura : public QObject {
    Q_OBJECT

private slots:
    void nomiDelleScelte_data();
    void nomiDelleScelte();
    void minuscolo_data();
    void minuscolo();
    void corpiEPannelli();
    void ordineDiLettura();
};

void tst_Lettura::nomiDelleScelte_data()
{
    // L<i> a liquid, M<i> a material, in the options' order
    QTest::addColumn<QString>("separatore");
    QTest::addColumn<QString>("scelte");
    QTest::addColumn<QStringList>("attesi"); // tank, two samples, two descriptions

    QTest::newRow("before any choice: a tank of water and no samples")
        << ","
        << ""
        << QStringList { "Vasca con acqua", "Nessun liquido scelto", "Nessun materiale scelto", "",
               "" };
    QTest::newRow("oil and iron, in Italian")
        << ","
        << "L2 M1"
        << QStringList { "Vasca con olio", "Campione di olio", "Campione di ferro", "densità 0,9",
               "densità 7,86" };
    QTest::newRow("a material alone: the tank is still water, no liquid sample")
        << ","
        << "M3"
        << QStringList { "Vasca con acqua", "Nessun liquido scelto", "Campione di legno", "",
               "densità 0,45" };
    QTest::newRow("the last choice of each group counts, with an English point")
        << "."
        << "L0 M0 L1 M2"
        << QStringList { "Vasca con mercurio", "Campione di mercurio", "Campione di rame",
               "densità 13.6", "densità 8.96" };
}

void tst_Lettura::nomiDelleScelte()
{
    QFETCH(QString, separatore);
    QFETCH(QString, scelte);
    QFETCH(QStringList, attesi);

    Registratore vista;
    Esperimento esperimento(vista, separatore.toStdString());
    esperimento.Form_Load();
    for (const QString& scelta : scelte.split(' ', Qt::SkipEmptyParts)) {
        if (scelta.startsWith('L'))
            esperimento.ScegliLiquido(scelta.mid(1).toInt());
        else
            esperimento.ScegliMateriale(scelta.mid(1).toInt());
    }
    const auto q = [](const std::string& testo) { return QString::fromStdString(testo); };
    QCOMPARE(QStringList({ q(Lettura::NomeVasca(esperimento.Stato())),
                 q(Lettura::NomeCampione(esperimento.Stato(), Etichetta::lblPSLiquido)),
                 q(Lettura::NomeCampione(esperimento.Stato(), Etichetta::lblPSMateriale)),
                 q(Lettura::DescrizioneScelta(esperimento, Etichetta::lblPSLiquido)),
                 q(Lettura::DescrizioneScelta(esperimento, Etichetta::lblPSMateriale)) }),
        attesi);
}

void tst_Lettura::minuscolo_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("a name of the catalogue") << "Benzina"
                                             << "benzina";
    QTest::newRow("every capital, not the first alone") << "MeRcUrIO"
                                                        << "mercurio";
    QTest::newRow("an accented letter's bytes kept whole") << "Densità Àcqua"
                                                           << "densità Àcqua";
    QTest::newRow("nothing") << ""
                             << "";
}

void tst_Lettura::minuscolo()
{
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(QString::fromStdString(Lettura::Minuscolo(testo.toStdString())), atteso);
}

void tst_Lettura::corpiEPannelli()
{
    QCOMPARE(Lettura::NomeCorpo(Immagine::imgGhiaccio), "Corpo di ghiaccio");
    QCOMPARE(Lettura::NomeCorpo(Immagine::imgLegno), "Corpo di legno");
    QCOMPARE(Lettura::NomeCorpo(Immagine::imgLiquido), ""); // no body
    // The information panel's two texts, in the order they stand, as one.
    QCOMPARE(Lettura::TestoPannello(Pannello::Frame4),
        "Scegli il liquido e il materiale, poi premi OK. Software libero del gruppo Idrovela");
    QVERIFY(QString::fromStdString(Lettura::TestoPannello(Pannello::Frame3))
                .startsWith("Un corpo immerso in un fluido"));
}

// Every control of the window that has something to say is read once, and each in its
// container's order: a control added to the layout and forgotten here would be skipped, or
// read in another container's place.
void tst_Lettura::ordineDiLettura()
{
    QStringList letti;
    for (const char* nome : Lettura::OrdineDiLettura)
        letti << QString::fromLatin1(nome);
    QStringList daLeggere;
    for (const Disposizione::Riga& riga : Disposizione::Controlli) {
        const QString nome = QString::fromLatin1(riga.nome);
        if (riga.tipo != Disposizione::Tipo::Line && !daLeggere.contains(nome))
            daLeggere << nome;
    }
    QCOMPARE(letti.size(), daLeggere.size());
    for (const QString& nome : daLeggere)
        QVERIFY2(letti.count(nome) == 1, qPrintable(nome));
    // The panels' own controls follow their panel, as the reader enters it.
    for (const Disposizione::Riga& riga : Disposizione::Controlli)
        if (riga.contenitore && riga.tipo != Disposizione::Tipo::Line) {
            const qsizetype dentro = letti.indexOf(QString::fromLatin1(riga.nome));
            QVERIFY2(dentro > letti.indexOf(QString::fromLatin1(riga.contenitore)), riga.nome);
        }
}

QTEST_APPLESS_MAIN(tst_Lettura)
#include "tst_Lettura.moc"
