// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrefissoWine.h"
#include "Scrivania.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Chiave
    = QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Idrovela");
const QString Cartella = QStringLiteral("C:\\Program Files\\Idrovela");
const QString Programma = Cartella + QStringLiteral("\\Idrovela.exe");
const QString Disinstallatore = Cartella + QStringLiteral("\\Disinstalla.exe");
const QString Collegamento
    = QStringLiteral("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Idrovela.lnk");

// The upgrade code names Idrovela across all its versions: changing it would install a new
// version beside the old one.
const QString CodiceAggiornamento = QStringLiteral("{BC6700B8-6026-407D-AA8A-7DEEA18707C6}");
const QString Disinstallazioni
    = QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
// Where Windows Installer registers what it installed, besides the uninstall entry.
const QStringList ChiaviInstaller
    = { Disinstallazioni, QStringLiteral("HKLM\\Software\\Classes\\Installer"),
          QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer") };

// The value of one entry of "reg query"'s answer: "    Name    REG_SZ    value".
QString Valore(const QByteArray& risposta, const QString& nome)
{
    for (const QString& riga : QString::fromLocal8Bit(risposta).split(QLatin1Char('\n'))) {
        const QStringList campi = riga.trimmed().split(QStringLiteral("    "));
        if (campi.size() >= 3 && campi[0] == nome)
            return campi.mid(2).join(QStringLiteral("    ")).trimmed();
    }
    return {};
}

QByteArray Leggi(const QString& percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Text as Notepad wants it: every line ends with CR LF.
bool AcapoWindows(const QByteArray& testo)
{
    return testo.count("\r\n") > 100 && testo.count('\n') == testo.count("\r\n");
}

// A program of this machine, run to its end.
PrefissoWine::Esito Comando(const QString& programma, const QStringList& argomenti)
{
    QProcess processo;
    processo.start(programma, argomenti);
    if (!processo.waitForFinished(60000) || processo.exitStatus() != QProcess::NormalExit)
        return { -1, processo.readAllStandardError() };
    return { processo.exitCode(), processo.readAllStandardOutput() };
}

// The rows of a table of an MSI, as msiinfo exports it: names, types and the table's name
// on the first three lines, then one row a line, its columns separated by tabs.
QList<QStringList> Tabella(const QString& msi, const QString& nome)
{
    const PrefissoWine::Esito esito
        = Comando(QStringLiteral("msiinfo"), { QStringLiteral("export"), msi, nome });
    QList<QStringList> righe;
    const QStringList linee = QString::fromUtf8(esito.uscita).split(QStringLiteral("\r\n"));
    for (const QString& linea : linee.mid(3)) {
        if (!linea.isEmpty())
            righe << linea.split(QLatin1Char('\t'));
    }
    return righe;
}

QString Proprieta(const QString& msi, const QString& nome)
{
    for (const QStringList& riga : Tabella(msi, QStringLiteral("Property"))) {
        if (riga.size() == 2 && riga[0] == nome)
            return riga[1];
    }
    return {};
}

// The shortcuts to Idrovela anywhere on drive C:.
QStringList Collegamenti(const PrefissoWine& wine)
{
    QDirIterator menu(wine.PercorsoUnix(QStringLiteral("C:\\")), { QStringLiteral("*.lnk") },
        QDir::Files, QDirIterator::Subdirectories);
    QStringList collegamenti;
    while (menu.hasNext()) {
        const QString lnk = menu.next();
        if (lnk.contains(QLatin1String("Idrovela"), Qt::CaseInsensitive))
            collegamenti << lnk;
    }
    return collegamenti;
}

// A shell link names its target in the local code page, in UTF-16, or both.
bool PortaA(const QString& lnk, const QString& programma)
{
    const QByteArray collegamento = Leggi(lnk);
    const QByteArray utf16(reinterpret_cast<const char*>(programma.utf16()), programma.size() * 2);
    return collegamento.contains(programma.toLatin1()) || collegamento.contains(utf16);
}

} // namespace

// The installer as school IT runs it: silently, into Program Files of a fresh 64-bit Wine,
// then the installed program, then the silent uninstall, which must leave nothing behind.
class tst_Installatore : public QObject {
    Q_OBJECT

public:
    explicit tst_Installatore(Scrivania& scrivania)
        : m_scrivania(scrivania)
    {
    }

private slots:
    void initTestCase();
    void installaInSilenzio();
    void registraIlDisinstallatore_data();
    void registraIlDisinstallatore();
    void ilProgrammaInstallatoSiApre();
    void disinstallaSenzaLasciareNulla();
    void disinstallaPaginaPerPagina();
    void zipConLicenzaPerWindows();
    void msiProprieta_data();
    void msiProprieta();
    void msiRiassuntoInItaliano();
    void msiTabelle();
    void msiContieneIlProgramma();
    void msiInstallaInSilenzio();
    void msiUnaSolaVoce();
    void msiDisinstallaSenzaLasciareNulla();
    void msiDanneggiatoNonInstallaNulla();
    void msiAggiornaENonTornaIndietro();
    void cleanup();
    void cleanupTestCase();

private:
    void ApriEChiudi(const QString& programma, const QString& schermata);
    PrefissoWine::Esito Msiexec(const QStringList& argomenti);
    int VociIdrovela();
    QStringList ChiaviRimaste();
    QString CostruisciMsi(const QString& versione);

    Scrivania& m_scrivania;
    std::unique_ptr<PrefissoWine> m_wine;
    QString m_installatore;
    QString m_msi;
    QString m_codiceProdotto; // of the built package
    QTemporaryDir m_cartella; // packages made here, logs, the extracted files
    QByteArray m_chiave; // what "reg query" answered after the install
    std::unique_ptr<QProcess> m_programma;
};

void tst_Installatore::initTestCase()
{
    QVERIFY2(m_scrivania.pronta(), "Xvfb did not start");
    QVERIFY2(m_scrivania.avviaWindowManager(), "the window manager did not start");
    m_installatore = qEnvironmentVariable("IDROVELA_INSTALLATORE");
    QVERIFY2(QFile::exists(m_installatore), "IDROVELA_INSTALLATORE names no built installer");
    m_msi = qEnvironmentVariable("IDROVELA_MSI");
    QVERIFY2(QFile::exists(m_msi), "IDROVELA_MSI names no built package");
    m_codiceProdotto = Proprieta(m_msi, QStringLiteral("ProductCode"));
    QVERIFY(m_cartella.isValid());
    m_wine = std::make_unique<PrefissoWine>(m_scrivania.display());
    QVERIFY2(m_wine->Prepara(), qPrintable(m_wine->Errore()));
}

void tst_Installatore::cleanup()
{
    // A program that a failed check left open goes before the next step.
    if (m_programma && m_programma->state() != QProcess::NotRunning) {
        m_programma->kill();
        m_programma->waitForFinished(5000);
    }
    m_programma.reset();
    m_wine->AttendiServer();
}

void tst_Installatore::cleanupTestCase()
{
    m_wine.reset();
}

void tst_Installatore::installaInSilenzio()
{
    QVERIFY(!QFile::exists(m_wine->PercorsoUnix(Programma)));
    QElapsedTimer cronometro;
    cronometro.start();

    const PrefissoWine::Esito esito = m_wine->Esegui(m_installatore, { QStringLiteral("/S") });

    qInfo("the silent install took %lld ms", cronometro.elapsed());
    QVERIFY2(esito.stato == 0, esito.uscita.constData());
    // The program is the very file that was built, beside its uninstaller.
    QFile installato(m_wine->PercorsoUnix(Programma));
    QVERIFY2(installato.open(QIODevice::ReadOnly), "no Idrovela.exe in Program Files");
    QFile costruito(qEnvironmentVariable("IDROVELA_EXE"));
    QVERIFY(costruito.open(QIODevice::ReadOnly));
    QVERIFY(installato.readAll() == costruito.readAll());
    QVERIFY(QFile::exists(m_wine->PercorsoUnix(Disinstallatore)));
    QVERIFY2(AcapoWindows(Leggi(m_wine->PercorsoUnix(Cartella + QStringLiteral("\\Licenza.txt")))),
        "the licence has not Windows's line ends");
    QVERIFY2(QFile::exists(m_wine->PercorsoUnix(Collegamento)), "no shortcut in the Start menu");
    QVERIFY2(PortaA(m_wine->PercorsoUnix(Collegamento), Programma),
        "the shortcut does not lead to the installed program");
    // Nothing went into the 32-bit Program Files.
    QVERIFY(
        !QFile::exists(m_wine->PercorsoUnix(QStringLiteral("C:\\Program Files (x86)\\Idrovela"))));
    const PrefissoWine::Esito chiave = m_wine->Registro(Chiave);
    QVERIFY2(chiave.stato == 0, "the uninstaller is not registered");
    m_chiave = chiave.uscita;
}

void tst_Installatore::registraIlDisinstallatore_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("the name that Add/Remove Programs lists") << "DisplayName"
                                                             << "Idrovela";
    QTest::newRow("the version") << "DisplayVersion"
                                 << "1.00";
    QTest::newRow("the publisher") << "Publisher"
                                   << "Laboratorio Idrovela";
    // The program's own icon group holds one large image; the uninstaller's holds every size
    // that Programs and Features may show.
    QTest::newRow("the icon, every size of it") << "DisplayIcon" << Disinstallatore + ",0";
    QTest::newRow("the uninstaller")
        << "UninstallString" << QLatin1Char('"') + Disinstallatore + QLatin1Char('"');
    QTest::newRow("the uninstaller, silent")
        << "QuietUninstallString" << QLatin1Char('"') + Disinstallatore + QStringLiteral("\" /S");
    QTest::newRow("no Modify button") << "NoModify"
                                      << "0x1";
    QTest::newRow("no Repair button") << "NoRepair"
                                      << "0x1";
}

void tst_Installatore::registraIlDisinstallatore()
{
    QFETCH(QString, nome);
    QFETCH(QString, atteso);
    QVERIFY2(!m_chiave.isEmpty(), "not installed");
    QCOMPARE(Valore(m_chiave, nome), atteso);
}

void tst_Installatore::ilProgrammaInstallatoSiApre()
{
    QVERIFY2(!m_chiave.isEmpty(), "not installed");
    // Its size in KiB, as Windows shows it: about the files installed.
    bool numero = false;
    const qint64 kib = Valore(m_chiave, QStringLiteral("EstimatedSize")).toLongLong(&numero, 16);
    const qint64 file = (QFileInfo(m_wine->PercorsoUnix(Programma)).size()
                            + QFileInfo(m_wine->PercorsoUnix(Disinstallatore)).size())
        / 1024;
    QVERIFY2(numero && kib >= file && kib < file + 100,
        qPrintable(QStringLiteral("EstimatedSize %1 KiB for %2 KiB of files").arg(kib).arg(file)));

    ApriEChiudi(Programma, QStringLiteral("wine-installato.png"));
}

void tst_Installatore::ApriEChiudi(const QString& programma, const QString& schermata)
{
    m_programma = m_wine->Avvia(programma);
    QVERIFY(m_programma->waitForStarted());
    const QString finestra = m_scrivania.cercaFinestra(QStringLiteral("Idrovela"), 30000);
    QVERIFY2(!finestra.isEmpty(), "the installed program shows no window");
    QVERIFY2(m_scrivania.attendiGestita(finestra), "the window manager did not frame it");
    QCOMPARE(m_scrivania.geometria(finestra).width(), 474);
    // Until the first frame is painted: the client area's last pixel has the window's grey.
    const QRect area = m_scrivania.geometria(finestra);
    QTRY_COMPARE_WITH_TIMEOUT(
        m_scrivania.schermata().pixelColor(area.bottomRight()), QColor(199, 199, 199), 30000);
    m_scrivania.schermata().save(Scrivania::cartellaArtefatti().filePath(schermata));
    // Closed as a pupil closes it: the close box, then "Sì".
    m_scrivania.clic(m_scrivania.closeBox(finestra));
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    m_scrivania.tasto(QStringLiteral("Return"));
    QVERIFY(m_programma->waitForFinished(5000));
    QCOMPARE(m_programma->exitCode(), 0);
    QVERIFY(m_wine->AttendiServer());
}

void tst_Installatore::disinstallaSenzaLasciareNulla()
{
    QVERIFY2(!m_chiave.isEmpty(), "not installed");

    const PrefissoWine::Esito esito = m_wine->Esegui(Disinstallatore, { QStringLiteral("/S") });

    QVERIFY2(esito.stato == 0, esito.uscita.constData());
    // The uninstaller hands its work to a copy of itself in the temporary folder and returns.
    const QString cartella = m_wine->PercorsoUnix(Cartella);
    QDeadlineTimer scadenza(30000);
    while (QFileInfo::exists(cartella) && !scadenza.hasExpired())
        QTest::qWait(100);
    if (QFileInfo::exists(cartella)) {
        QStringList rimasti;
        QDirIterator i(cartella, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        while (i.hasNext())
            rimasti << i.next();
        QFAIL(qPrintable(QStringLiteral("left behind: ") + rimasti.join(QStringLiteral(", "))));
    }
    QVERIFY(m_wine->AttendiServer());
    QVERIFY2(!QFile::exists(m_wine->PercorsoUnix(Collegamento)), "the shortcut is still there");
    const PrefissoWine::Esito chiave = m_wine->Registro(Chiave);
    QVERIFY2(chiave.stato != 0, chiave.uscita.constData());
    // Nor anywhere else in the Start menu or on the desktop.
    const QStringList collegamenti = Collegamenti(*m_wine);
    QVERIFY2(collegamenti.isEmpty(), qPrintable(collegamenti.join(QStringLiteral(", "))));
}

void tst_Installatore::disinstallaPaginaPerPagina()
{
    // The uninstaller as a teacher meets it, from "Programs and Features": it ends on a page
    // of its own that says the removal is complete, and closes when asked to.
    QCOMPARE(m_wine->Esegui(m_installatore, { QStringLiteral("/S") }).stato, 0);
    // NSIS's Italian caption ends with a space.
    const QString titolo = QStringLiteral("Disinstallazione di Idrovela ");
    m_programma = m_wine->Avvia(Disinstallatore);
    QString finestra = m_scrivania.cercaFinestra(titolo, 30000);
    QVERIFY2(!finestra.isEmpty(), "the uninstaller shows no window");
    m_scrivania.xdotool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), finestra });
    m_scrivania.tasto(QStringLiteral("Return")); // "Disinstalla"
    const QString cartella = m_wine->PercorsoUnix(Cartella);
    QDeadlineTimer scadenza(30000);
    while (QFileInfo::exists(cartella) && !scadenza.hasExpired())
        QTest::qWait(100);
    QVERIFY2(!QFileInfo::exists(cartella), "nothing was removed");

    finestra = m_scrivania.cercaFinestra(titolo);
    QVERIFY2(!finestra.isEmpty(), "the uninstaller closed before its last page");
    // The finish page, not the progress page left as it was: its blue picture fills the left
    // side, where the progress page is grey. The uninstaller turns to it once it is done.
    const QRect area = m_scrivania.geometria(finestra);
    QImage schermata;
    int blu = 0;
    const bool finita = QTest::qWaitFor(
        [&] {
            schermata = m_scrivania.schermata();
            blu = 0;
            for (int x = area.left(); x < area.left() + 150; ++x) {
                const QColor colore = schermata.pixelColor(x, area.center().y());
                blu += colore.blue() > colore.red() + 30 && colore.blue() > colore.green() + 30;
            }
            return blu > 100;
        },
        30000);
    schermata.save(
        Scrivania::cartellaArtefatti().filePath(QStringLiteral("wine-disinstallato.png")));
    m_scrivania.tasto(QStringLiteral("Return")); // "Chiudi", whatever the page
    scadenza.setRemainingTime(10000);
    while (m_scrivania.finestraEsiste(titolo) && !scadenza.hasExpired())
        QTest::qWait(100);
    QVERIFY2(finita && blu > 100, "the last page is not the uninstaller's finish page");
    QVERIFY2(!m_scrivania.finestraEsiste(titolo), "the last page does not close");
    QVERIFY(m_wine->AttendiServer());
    QVERIFY(m_wine->Registro(Chiave).stato != 0);
}

void tst_Installatore::zipConLicenzaPerWindows()
{
    const PrefissoWine::Esito licenza = Comando(QStringLiteral("unzip"),
        { QStringLiteral("-p"), qEnvironmentVariable("IDROVELA_ZIP"),
            QStringLiteral("Licenza.txt") });
    QCOMPARE(licenza.stato, 0);
    QVERIFY2(AcapoWindows(licenza.uscita), "the zipped licence has not Windows's line ends");
}

void tst_Installatore::msiProprieta_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("the name") << "ProductName"
                              << "Idrovela";
    QTest::newRow("the version") << "ProductVersion"
                                 << "1.00";
    QTest::newRow("the publisher") << "Manufacturer"
                                   << "Laboratorio Idrovela";
    QTest::newRow("for every user of the machine") << "ALLUSERS"
                                                   << "1";
    QTest::newRow("the upgrade code, never changed") << "UpgradeCode" << CodiceAggiornamento;
    QTest::newRow("in Italian") << "ProductLanguage"
                                << "1040";
    QTest::newRow("the bust in Programs and Features") << "ARPPRODUCTICON"
                                                       << "idrovela.ico";
    QTest::newRow("no support link, while the project has no address of its own")
        << "ARPURLINFOABOUT"
        << "";
}

void tst_Installatore::msiProprieta()
{
    QFETCH(QString, nome);
    QFETCH(QString, atteso);
    QCOMPARE(Proprieta(m_msi, nome), atteso);
}

void tst_Installatore::msiRiassuntoInItaliano()
{
    const PrefissoWine::Esito riassunto
        = Comando(QStringLiteral("msiinfo"), { QStringLiteral("suminfo"), m_msi });
    QCOMPARE(riassunto.stato, 0);
    const QString testo = QString::fromUtf8(riassunto.uscita);
    for (const char* riga :
        { "Subject: Idrovela 1.00", "Author: Laboratorio Idrovela", "Template: x64;1040",
            "Comments: Esperimento sul galleggiamento dei corpi, per la scuola" })
        QVERIFY2(testo.contains(QLatin1String(riga)), qPrintable(testo));
    // The tables' texts, accented letters and all, in the Windows code page.
    const PrefissoWine::Esito codepage = Comando(QStringLiteral("msiinfo"),
        { QStringLiteral("export"), m_msi, QStringLiteral("_ForceCodepage") });
    QVERIFY2(codepage.uscita.contains("\r\n1252\t_ForceCodepage\r\n"), codepage.uscita.constData());
    bool messaggio = false;
    for (const QStringList& riga : Tabella(m_msi, QStringLiteral("LaunchCondition")))
        messaggio |= riga.value(1).contains(QStringLiteral("versione più recente"));
    QVERIFY2(messaggio, "no Italian message against an older version");
}

void tst_Installatore::msiTabelle()
{
    const QList<QStringList> collegamenti = Tabella(m_msi, QStringLiteral("Shortcut"));
    QCOMPARE(collegamenti.size(), 1);
    const QStringList collegamento = collegamenti.first();
    QCOMPARE(collegamento.value(1), QStringLiteral("ProgramMenuFolder"));
    QCOMPARE(collegamento.value(2), QStringLiteral("Idrovela"));
    QCOMPARE(collegamento.value(6), QStringLiteral("Esperimento sul galleggiamento dei corpi"));
    QCOMPARE(collegamento.value(8), QStringLiteral("idrovela.ico"));

    QStringList file;
    for (const QStringList& riga : Tabella(m_msi, QStringLiteral("File")))
        file << riga.value(2) + QLatin1Char(' ') + riga.value(3);
    file.sort();
    const qint64 dimensione = QFileInfo(qEnvironmentVariable("IDROVELA_EXE")).size();
    QCOMPARE(file,
        QStringList({ QStringLiteral("Idrovela.exe %1").arg(dimensione),
            QStringLiteral("Licenza.txt %1")
                .arg(Leggi(qEnvironmentVariable("IDROVELA_LICENZA")).size()) }));
    // Into Program Files\Idrovela, the 64-bit one, by 64-bit components.
    bool cartella = false;
    for (const QStringList& riga : Tabella(m_msi, QStringLiteral("Directory")))
        cartella |= riga == QStringList({ "INSTALLDIR", "ProgramFiles64Folder", "Idrovela" });
    QVERIFY(cartella);
    for (const QStringList& riga : Tabella(m_msi, QStringLiteral("Component")))
        QVERIFY2(riga.value(3).toInt() & 256, qPrintable(riga.join(QLatin1Char(' '))));
}

void tst_Installatore::msiContieneIlProgramma()
{
    const QString estratti = m_cartella.filePath(QStringLiteral("estratti"));
    const PrefissoWine::Esito estrai
        = Comando(QStringLiteral("msiextract"), { QStringLiteral("-C"), estratti, m_msi });
    QCOMPARE(estrai.stato, 0);
    // msiextract lays the files out under the install folder's own name.
    const QString cartella = estratti + QStringLiteral("/Idrovela/");
    const QByteArray programma = Leggi(cartella + QStringLiteral("Idrovela.exe"));
    QVERIFY(!programma.isEmpty());
    QVERIFY(programma == Leggi(qEnvironmentVariable("IDROVELA_EXE")));
    QVERIFY2(AcapoWindows(Leggi(cartella + QStringLiteral("Licenza.txt"))),
        "the licence in the package has not Windows's line ends");
}

PrefissoWine::Esito tst_Installatore::Msiexec(const QStringList& argomenti)
{
    return m_wine->Esegui(QStringLiteral("msiexec"), argomenti, 120000);
}

int tst_Installatore::VociIdrovela()
{
    const PrefissoWine::Esito voci = m_wine->Esegui(
        QStringLiteral("reg"), { QStringLiteral("query"), Disinstallazioni, QStringLiteral("/s") });
    return voci.uscita.count("DisplayName    REG_SZ    Idrovela");
}

QStringList tst_Installatore::ChiaviRimaste()
{
    QStringList rimaste;
    for (const QString& chiave : ChiaviInstaller) {
        const PrefissoWine::Esito risposta = m_wine->Esegui(
            QStringLiteral("reg"), { QStringLiteral("query"), chiave, QStringLiteral("/s") });
        if (risposta.uscita.contains("Idrovela"))
            rimaste << chiave;
    }
    return rimaste;
}

void tst_Installatore::msiInstallaInSilenzio()
{
    QVERIFY(!QFile::exists(m_wine->PercorsoUnix(Programma)));
    const QString registro = m_cartella.filePath(QStringLiteral("installa.log"));
    QElapsedTimer cronometro;
    cronometro.start();

    const PrefissoWine::Esito esito = Msiexec(
        { QStringLiteral("/i"), m_msi, QStringLiteral("/qn"), QStringLiteral("/l*v"), registro });

    qInfo("the MSI's silent install took %lld ms", cronometro.elapsed());
    QVERIFY2(esito.stato == 0, esito.uscita.constData());
    QVERIFY2(Leggi(registro).contains("InstallFinalize"), "no log of the install");
    QVERIFY(Leggi(m_wine->PercorsoUnix(Programma)) == Leggi(qEnvironmentVariable("IDROVELA_EXE")));
    QVERIFY(
        !QFile::exists(m_wine->PercorsoUnix(QStringLiteral("C:\\Program Files (x86)\\Idrovela"))));
    const PrefissoWine::Esito chiave
        = m_wine->Registro(Disinstallazioni + QLatin1Char('\\') + m_codiceProdotto);
    QVERIFY2(chiave.stato == 0, "no entry in Programs and Features");
    QCOMPARE(Valore(chiave.uscita, QStringLiteral("DisplayName")), QStringLiteral("Idrovela"));
    QCOMPARE(Valore(chiave.uscita, QStringLiteral("DisplayVersion")), QStringLiteral("1.00"));
    QCOMPARE(
        Valore(chiave.uscita, QStringLiteral("Publisher")), QStringLiteral("Laboratorio Idrovela"));
    // Wine puts a per-machine package's shortcut in the user's Start menu.
    const QStringList collegamenti = Collegamenti(*m_wine);
    QCOMPARE(collegamenti.size(), 1);
    QVERIFY2(PortaA(collegamenti.first(), Programma), "the shortcut does not lead to the program");
    ApriEChiudi(Programma, QStringLiteral("wine-installato-msi.png"));
}

void tst_Installatore::msiUnaSolaVoce()
{
    QCOMPARE(VociIdrovela(), 1);
    const PrefissoWine::Esito esito
        = Msiexec({ QStringLiteral("/i"), m_msi, QStringLiteral("/qn") });
    QVERIFY2(esito.stato == 0, esito.uscita.constData());
    QCOMPARE(VociIdrovela(), 1);
    QCOMPARE(Collegamenti(*m_wine).size(), 1);
}

void tst_Installatore::msiDisinstallaSenzaLasciareNulla()
{
    QVERIFY(QFile::exists(m_wine->PercorsoUnix(Programma)));
    const PrefissoWine::Esito esito
        = Msiexec({ QStringLiteral("/x"), m_msi, QStringLiteral("/qn") });
    QVERIFY2(esito.stato == 0, esito.uscita.constData());
    QVERIFY(m_wine->AttendiServer());
    QVERIFY2(!QFileInfo::exists(m_wine->PercorsoUnix(Cartella)), "Program Files\\Idrovela is left");
    QCOMPARE(Collegamenti(*m_wine), QStringList());
    QCOMPARE(ChiaviRimaste(), QStringList());
    // The icon that Programs and Features showed goes with it.
    QVERIFY(!QFileInfo::exists(
        m_wine->PercorsoUnix(QStringLiteral("C:\\windows\\Installer\\") + m_codiceProdotto)));
}

void tst_Installatore::msiDanneggiatoNonInstallaNulla()
{
    const QString troncato = m_cartella.filePath(QStringLiteral("troncato.msi"));
    QFile file(troncato);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(Leggi(m_msi).left(QFileInfo(m_msi).size() / 2));
    file.close();

    const PrefissoWine::Esito esito
        = Msiexec({ QStringLiteral("/i"), troncato, QStringLiteral("/qn") });

    QVERIFY2(esito.stato != 0, "a truncated package installed");
    QVERIFY(m_wine->AttendiServer());
    QVERIFY(!QFileInfo::exists(m_wine->PercorsoUnix(Cartella)));
    QCOMPARE(ChiaviRimaste(), QStringList());
}

QString tst_Installatore::CostruisciMsi(const QString& versione)
{
    const QString msi = m_cartella.filePath(QStringLiteral("Idrovela-%1.msi").arg(versione));
    const PrefissoWine::Esito esito = Comando(qEnvironmentVariable("IDROVELA_MSI_SH"),
        { versione, qEnvironmentVariable("IDROVELA_EXE"), qEnvironmentVariable("IDROVELA_LICENZA"),
            msi });
    return esito.stato == 0 ? msi : QString();
}

void tst_Installatore::msiAggiornaENonTornaIndietro()
{
    // The same version made again keeps its product code; the next one has its own.
    const QString ancora = CostruisciMsi(QStringLiteral("1.00"));
    const QString successiva = CostruisciMsi(QStringLiteral("1.01"));
    QVERIFY(!ancora.isEmpty() && !successiva.isEmpty());
    QCOMPARE(Proprieta(ancora, QStringLiteral("ProductCode")), m_codiceProdotto);
    const QString codiceSuccessiva = Proprieta(successiva, QStringLiteral("ProductCode"));
    QVERIFY(codiceSuccessiva.startsWith(QLatin1Char('{')) && codiceSuccessiva != m_codiceProdotto);
    QCOMPARE(Proprieta(successiva, QStringLiteral("UpgradeCode")), CodiceAggiornamento);

    QCOMPARE(Msiexec({ QStringLiteral("/i"), m_msi, QStringLiteral("/qn") }).stato, 0);
    // The later version takes the place of this one: one entry, the new version.
    QCOMPARE(Msiexec({ QStringLiteral("/i"), successiva, QStringLiteral("/qn") }).stato, 0);
    QCOMPARE(VociIdrovela(), 1);
    const PrefissoWine::Esito chiave
        = m_wine->Registro(Disinstallazioni + QLatin1Char('\\') + codiceSuccessiva);
    QCOMPARE(Valore(chiave.uscita, QStringLiteral("DisplayVersion")), QStringLiteral("1.01"));
    QVERIFY(QFile::exists(m_wine->PercorsoUnix(Programma)));
    // The older one refuses to go over it and leaves it as it was.
    QVERIFY(Msiexec({ QStringLiteral("/i"), m_msi, QStringLiteral("/qn") }).stato != 0);
    QCOMPARE(VociIdrovela(), 1);
    QVERIFY(m_wine->Registro(Disinstallazioni + QLatin1Char('\\') + codiceSuccessiva).stato == 0);
    QVERIFY(QFile::exists(m_wine->PercorsoUnix(Programma)));

    QCOMPARE(Msiexec({ QStringLiteral("/x"), successiva, QStringLiteral("/qn") }).stato, 0);
    QVERIFY(m_wine->AttendiServer());
    QVERIFY(!QFileInfo::exists(m_wine->PercorsoUnix(Cartella)));
    QCOMPARE(ChiaviRimaste(), QStringList());
}

SCRIVANIA_MAIN(tst_Installatore)

#include "tst_Installatore.moc"
