// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrefissoWine.h"
#include "Scrivania.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QtTest>

namespace {

const QString Chiave
    = QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Idrovela");
const QString Cartella = QStringLiteral("C:\\Program Files\\Idrovela");
const QString Programma = Cartella + QStringLiteral("\\Idrovela.exe");
const QString Disinstallatore = Cartella + QStringLiteral("\\Disinstalla.exe");
const QString Collegamento
    = QStringLiteral("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Idrovela.lnk");

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
    void cleanup();
    void cleanupTestCase();

private:
    Scrivania& m_scrivania;
    std::unique_ptr<PrefissoWine> m_wine;
    QString m_installatore;
    QByteArray m_chiave; // what "reg query" answered after the install
    std::unique_ptr<QProcess> m_programma;
};

void tst_Installatore::initTestCase()
{
    QVERIFY2(m_scrivania.pronta(), "Xvfb did not start");
    QVERIFY2(m_scrivania.avviaWindowManager(), "the window manager did not start");
    m_installatore = qEnvironmentVariable("IDROVELA_INSTALLATORE");
    QVERIFY2(QFile::exists(m_installatore), "IDROVELA_INSTALLATORE names no built installer");
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
    QFile lnk(m_wine->PercorsoUnix(Collegamento));
    QVERIFY2(lnk.open(QIODevice::ReadOnly), "no shortcut in the Start menu");
    // A shell link names its target in the local code page, in UTF-16, or both.
    const QByteArray collegamento = lnk.readAll();
    const QByteArray utf16(reinterpret_cast<const char*>(Programma.utf16()), Programma.size() * 2);
    QVERIFY2(collegamento.contains(Programma.toLatin1()) || collegamento.contains(utf16),
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
    QTest::newRow("the icon, the program's own") << "DisplayIcon" << Programma + ",0";
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

    m_programma = m_wine->Avvia(Programma);
    QVERIFY(m_programma->waitForStarted());
    const QString finestra = m_scrivania.cercaFinestra(QStringLiteral("Idrovela"), 30000);
    QVERIFY2(!finestra.isEmpty(), "the installed program shows no window");
    QCOMPARE(m_scrivania.geometria(finestra).width(), 474);
    QTest::qWait(500);
    m_scrivania.schermata().save(
        Scrivania::cartellaArtefatti().filePath(QStringLiteral("wine-installato.png")));
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
    QDirIterator menu(m_wine->PercorsoUnix(QStringLiteral("C:\\")), { QStringLiteral("*.lnk") },
        QDir::Files, QDirIterator::Subdirectories);
    QStringList collegamenti;
    while (menu.hasNext()) {
        const QString lnk = menu.next();
        if (lnk.contains(QLatin1String("Idrovela"), Qt::CaseInsensitive))
            collegamenti << lnk;
    }
    QVERIFY2(collegamenti.isEmpty(), qPrintable(collegamenti.join(QStringLiteral(", "))));
}

SCRIVANIA_MAIN(tst_Installatore)

#include "tst_Installatore.moc"
