// SPDX-License-Identifier: GPL-3.0-or-later
// The soak of the Windows window, under Wine on a private X server. The soak (win32/Scolaresca.cpp
// here, built beside the program) runs inside the window's own process, inputs, checks and all;
// this prepares its Wine, runs it and reports what it said:
//
//   tst_Scolaresca [--seme N] [--eventi N] [Qt Test options]
//
// (or IDROVELA_SEME and IDROVELA_EVENTI); without them the soak's own seed and 100,000 inputs.
#include "PrefissoWine.h"
#include "Scrivania.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QtTest>

#include <algorithm>
#include <memory>

// Some times longer than the soak takes between two of its lines (10 to 20 s here alone, more
// than twice that beside two busy loops and the other tests), and short enough that a soak that
// hangs fails within minutes.
constexpr qint64 Silenzio = 180000;

class tst_Scolaresca : public QObject {
    Q_OBJECT

public:
    tst_Scolaresca(Scrivania& scrivania, QStringList argomenti)
        : m_scrivania(scrivania)
        , m_argomenti(std::move(argomenti))
    {
    }

private slots:
    void initTestCase();
    void unaClasseIntera();
    void cleanupTestCase() { m_wine.reset(); }

private:
    Scrivania& m_scrivania;
    QStringList m_argomenti;
    std::unique_ptr<PrefissoWine> m_wine;
    QString m_soak;
};

void tst_Scolaresca::initTestCase()
{
    QVERIFY2(m_scrivania.pronta(), "Xvfb did not start");
    m_soak = QFileInfo(qEnvironmentVariable("IDROVELA_EXE"))
                 .dir()
                 .filePath(QStringLiteral("bin/Scolaresca.exe"));
    QVERIFY2(QFile::exists(m_soak), "no Scolaresca.exe beside the built Idrovela.exe");
    m_wine = std::make_unique<PrefissoWine>(m_scrivania.display());
    QVERIFY2(m_wine->Prepara(), qPrintable(m_wine->Errore()));
    // Its windows in a Wine desktop of their own, where no window manager takes part in each of
    // the thousands of boxes that open and close.
    for (const QStringList& voce :
        { QStringList { QStringLiteral("HKCU\\Software\\Wine\\Explorer"), QStringLiteral("/v"),
              QStringLiteral("Desktop"), QStringLiteral("/d"), QStringLiteral("Default") },
            QStringList { QStringLiteral("HKCU\\Software\\Wine\\Explorer\\Desktops"),
                QStringLiteral("/v"), QStringLiteral("Default"), QStringLiteral("/d"),
                QStringLiteral("1280x1024") } }) {
        const PrefissoWine::Esito esito = m_wine->Esegui(QStringLiteral("reg"),
            QStringList { QStringLiteral("add") } + voce + QStringList { QStringLiteral("/f") });
        QVERIFY2(esito.stato == 0, esito.uscita.constData());
    }
    QVERIFY(m_wine->AttendiServer());
}

void tst_Scolaresca::unaClasseIntera()
{
    QProcessEnvironment ambiente = m_wine->Ambiente();
    // No sound: the soak's thousands of runs and beeps would only reach the sound server that
    // other tests record.
    ambiente.insert(QStringLiteral("WINEDLLOVERRIDES"),
        ambiente.value(QStringLiteral("WINEDLLOVERRIDES"))
            + QStringLiteral(";winealsa.drv,winepulse.drv,wineoss.drv="));
    QProcess soak;
    soak.setProcessEnvironment(ambiente);
    soak.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer durata;
    durata.start();
    soak.start(QStringLiteral("wine"), QStringList { m_soak } + m_argomenti);
    QVERIFY2(soak.waitForStarted(10000), qPrintable(soak.errorString()));
    // However long the machine makes it, the soak says every few thousand inputs that it goes
    // on; only a soak that stops saying so is stuck.
    QString uscita;
    QDeadlineTimer silenzio(Silenzio);
    while (soak.state() != QProcess::NotRunning && !silenzio.hasExpired()) {
        soak.waitForReadyRead(int(std::min<qint64>(silenzio.remainingTime(), 1000)));
        while (soak.canReadLine()) {
            const QString riga = QString::fromLocal8Bit(soak.readLine()).trimmed();
            uscita += riga + QLatin1Char('\n');
            qInfo("%s", qPrintable(riga));
            silenzio.setRemainingTime(Silenzio);
        }
    }
    const bool finito = soak.state() == QProcess::NotRunning || soak.waitForFinished(1000);
    if (!finito) {
        soak.kill();
        soak.waitForFinished(10000);
    }
    const QString resto = QString::fromLocal8Bit(soak.readAll()).remove(QLatin1Char('\r'));
    for (const QString& riga : resto.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        qInfo("%s", qPrintable(riga));
    uscita += resto;
    qInfo("the soak took %.1f s under Wine", double(durata.elapsed()) / 1000);
    QVERIFY2(
        finito, qPrintable(QStringLiteral("the soak said nothing for %1 s").arg(Silenzio / 1000)));
    QCOMPARE(soak.exitStatus(), QProcess::NormalExit);
    QVERIFY2(soak.exitCode() == 0, "the soak failed: the lines above say where and how to replay");
    const QRegularExpression riepilogo(
        QStringLiteral("^seed \\d+: \\d+ inputs in "), QRegularExpression::MultilineOption);
    QVERIFY2(uscita.contains(riepilogo), "the soak printed no summary");
}

int main(int argc, char* argv[])
{
    Scrivania scrivania(QSize(1280, 1024));
    QGuiApplication app(argc, argv);
    QStringList perIlSoak;
    const QString seme = qEnvironmentVariable("IDROVELA_SEME");
    const QString eventi = qEnvironmentVariable("IDROVELA_EVENTI");
    if (!seme.isEmpty())
        perIlSoak << QStringLiteral("--seme") << seme;
    if (!eventi.isEmpty())
        perIlSoak << QStringLiteral("--eventi") << eventi;
    QStringList argomenti = app.arguments();
    for (int i = 1; i + 1 < argomenti.size();) {
        if (argomenti.at(i) == QLatin1String("--seme")
            || argomenti.at(i) == QLatin1String("--eventi")) {
            perIlSoak << argomenti.at(i) << argomenti.at(i + 1);
            argomenti.remove(i, 2);
        } else {
            ++i;
        }
    }
    tst_Scolaresca test(scrivania, perIlSoak);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argomenti);
}

#include "tst_Scolaresca.moc"
