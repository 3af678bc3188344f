// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

namespace {

const QString Id = QStringLiteral("io.github.idrovela.Idrovela");

struct Esito {
    int stato = -1;
    QString uscita;
};

Esito Esegui(const QString& programma, const QStringList& argomenti, int attesaMs = 120000)
{
    QProcess processo;
    processo.setProcessChannelMode(QProcess::MergedChannels);
    processo.start(programma, argomenti);
    if (!processo.waitForFinished(attesaMs))
        return { -1, QStringLiteral("%1 did not finish").arg(programma) };
    return { processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1,
        QString::fromLocal8Bit(processo.readAll()) };
}

} // namespace

// The Debian package as a school technician gets it: built from this build folder, unpacked
// into a folder of its own (which the end-to-end test of the installed program then uses).
class tst_Pacchetto : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void ogniFileAlSuoPosto_data();
    void ogniFileAlSuoPosto();
    void nientAltro();
    void dipendenzeCalcolate();
    void aptLoInstallerebbe();
    void vociValide();
    void lintianNonHaNullaDaDire();

private:
    QString m_deb;
    QDir m_radice { QStringLiteral(IDROVELA_RADICE) };
    QStringList m_attesi;
};

void tst_Pacchetto::initTestCase()
{
    const QString uscita = QDir(QStringLiteral(IDROVELA_BUILD)).filePath(QStringLiteral("deb"));
    QDir(uscita).removeRecursively();
    const Esito cpack = Esegui(QStringLiteral("cpack"),
        { QStringLiteral("--config"), QStringLiteral(IDROVELA_BUILD "/CPackConfig.cmake"),
            QStringLiteral("-B"), uscita });
    QVERIFY2(cpack.stato == 0, qPrintable(cpack.uscita));
    const QStringList pacchetti = QDir(uscita).entryList({ QStringLiteral("*.deb") });
    QCOMPARE(pacchetti, QStringList { QStringLiteral("idrovela_1.00_amd64.deb") });
    m_deb = QDir(uscita).filePath(pacchetti.first());
    qInfo("package: %lld bytes", QFileInfo(m_deb).size());

    m_radice.removeRecursively();
    QVERIFY(QDir().mkpath(m_radice.path()));
    const Esito estrai
        = Esegui(QStringLiteral("dpkg-deb"), { QStringLiteral("-x"), m_deb, m_radice.path() });
    QVERIFY2(estrai.stato == 0, qPrintable(estrai.uscita));
}

void tst_Pacchetto::ogniFileAlSuoPosto_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("eseguibile");

    QTest::newRow("the program, on the PATH") << "usr/bin/idrovela" << true;
    QTest::newRow("the sound module, beside it")
        << "usr/lib/x86_64-linux-gnu/idrovela/libidrovela-suono.so" << false;
    QTest::newRow("the menu entry") << "usr/share/applications/" + Id + ".desktop" << false;
    QTest::newRow("the software centres' description")
        << "usr/share/metainfo/" + Id + ".metainfo.xml" << false;
    for (int lato : { 16, 22, 24, 32, 48, 64, 128 })
        QTest::addRow("the icon at %d pixels", lato)
            << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(lato).arg(Id)
            << false;
    QTest::newRow("the licence") << "usr/share/doc/idrovela/copyright" << false;
    QTest::newRow("the read-me") << "usr/share/doc/idrovela/README.md" << false;
    QTest::newRow("the changelog") << "usr/share/doc/idrovela/changelog.gz" << false;
    QTest::newRow("the manual page") << "usr/share/man/man1/idrovela.1.gz" << false;
    QTest::newRow("the manual page in Italian") << "usr/share/man/it/man1/idrovela.1.gz" << false;
}

void tst_Pacchetto::ogniFileAlSuoPosto()
{
    QFETCH(QString, file);
    QFETCH(bool, eseguibile);

    m_attesi << file;
    const QFileInfo info(m_radice.filePath(file));
    QVERIFY2(info.isFile(), qPrintable(file));
    QVERIFY(info.size() > 0);
    QCOMPARE(info.isExecutable(), eseguibile);
    if (file.endsWith(QLatin1String(".png"))) {
        const QString lato = file.section(QLatin1Char('/'), 4, 4).section(QLatin1Char('x'), 0, 0);
        QCOMPARE(QImage(info.filePath()).width(), lato.toInt());
    }
}

void tst_Pacchetto::nientAltro()
{
    // No tests, no generator, no static libraries or headers find their way in.
    QStringList estranei;
    QDirIterator file(m_radice.path(), QDir::Files, QDirIterator::Subdirectories);
    while (file.hasNext()) {
        const QString relativo = m_radice.relativeFilePath(file.next());
        if (!m_attesi.contains(relativo))
            estranei << relativo;
    }
    QCOMPARE(estranei, QStringList());
}

void tst_Pacchetto::dipendenzeCalcolate()
{
    const Esito campo = Esegui(QStringLiteral("dpkg-deb"),
        { QStringLiteral("--field"), m_deb, QStringLiteral("Depends") });
    QCOMPARE(campo.stato, 0);
    qInfo("Depends: %s", qPrintable(campo.uscita.trimmed()));
    const QStringList dipendenze = campo.uscita.trimmed().split(QStringLiteral(", "));
    QStringList nomi;
    for (const QString& dipendenza : dipendenze)
        nomi << dipendenza.section(QLatin1Char(' '), 0, 0);
    // What dpkg-shlibdeps finds in the program and in its sound module.
    for (const char* libreria : { "libc6", "libstdc++6", "libqt6core6", "libqt6gui6",
             "libqt6widgets6", "libqt6multimedia6" })
        QVERIFY2(nomi.contains(QLatin1String(libreria)), libreria);
    QVERIFY(nomi.contains(QStringLiteral("qt6-qpa-plugins")));
    QVERIFY(nomi.contains(QStringLiteral("fonts-liberation2")));
    for (const QString& nome : nomi)
        QVERIFY2(!nome.endsWith(QLatin1String("-dev")), qPrintable(nome));
}

void tst_Pacchetto::aptLoInstallerebbe()
{
    // apt resolves every dependency from the archive; simulated, so nothing is installed.
    const Esito apt = Esegui(QStringLiteral("apt-get"),
        { QStringLiteral("install"), QStringLiteral("--simulate"), QStringLiteral("-q"), m_deb });
    QVERIFY2(apt.stato == 0, qPrintable(apt.uscita));
    QVERIFY2(apt.uscita.contains(QStringLiteral("Inst idrovela"))
            || apt.uscita.contains(QStringLiteral("idrovela is already")),
        qPrintable(apt.uscita));
}

void tst_Pacchetto::vociValide()
{
    const Esito desktop = Esegui(QStringLiteral("desktop-file-validate"),
        { m_radice.filePath("usr/share/applications/" + Id + ".desktop") });
    QVERIFY2(desktop.stato == 0, qPrintable(desktop.uscita));
    QVERIFY2(!desktop.uscita.contains(QStringLiteral("error")), qPrintable(desktop.uscita));
    const Esito metainfo = Esegui(QStringLiteral("appstreamcli"),
        { QStringLiteral("validate"), QStringLiteral("--no-net"),
            m_radice.filePath("usr/share/metainfo/" + Id + ".metainfo.xml") });
    QVERIFY2(metainfo.stato == 0, qPrintable(metainfo.uscita));
}

void tst_Pacchetto::lintianNonHaNullaDaDire()
{
    // Debian's own checker: no error and no warning. Its informational notes are printed for
    // the log, and a note has to be judged, not counted.
    const Esito lintian = Esegui(QStringLiteral("lintian"),
        { QStringLiteral("--display-info"), QStringLiteral("--fail-on"),
            QStringLiteral("error,warning"), m_deb },
        300000);
    qInfo("%s", qPrintable(lintian.uscita.trimmed()));
    QStringList trovati;
    for (const QString& riga : lintian.uscita.split(QLatin1Char('\n'))) {
        if (riga.startsWith(QLatin1String("E: ")) || riga.startsWith(QLatin1String("W: ")))
            trovati << riga;
    }
    QCOMPARE(trovati, QStringList());
    QVERIFY2(lintian.stato == 0, qPrintable(lintian.uscita));
}

QTEST_GUILESS_MAIN(tst_Pacchetto)
#include "tst_Pacchetto.moc"
