// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scrivania.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QtTest>

#include <memory>

namespace {
// Where the pupil clicks, in the window's client area below the menu bar.
const QPoint Acqua(342, 36);
const QPoint Olio(342, 84);
const QPoint Ferro(342, 180);
const QPoint OK(384, 268);
// A point of the tank's liquid that the iron body covers while it shows at the surface.
const QPoint NelCorpo(142, 96);
// A point of the tank's liquid that no body ever covers.
const QPoint NelLiquido(60, 200);

const QColor ColoreAcqua(0x80, 0xFF, 0xFF);
const QColor ColoreOlio(0xD2, 0xFF, 0x80);
} // namespace

// The built program, driven under a real X server and window manager as a pupil would:
// choose, press "OK", read the verdict, close the program through its close box.
class tst_Idrovela : public QObject {
    Q_OBJECT

public:
    explicit tst_Idrovela(Scrivania& scrivania)
        : m_scrivania(scrivania)
    {
    }

private slots:
    void initTestCase();
    void unaCorsaDallInizioAllaFine();
    void esceDuranteUnaDiscesa();
    void cleanup();

private:
    void Avvia();
    QPoint Schermo(QPoint client) const { return m_client.topLeft() + client; }
    QColor Colore(QPoint client) const;
    void Fotografa(const QString& nome);
    QPoint CloseBox() const;

    Scrivania& m_scrivania;
    std::unique_ptr<QProcess> m_programma;
    QString m_finestra;
    QRect m_client; // the client area below the menu bar, in screen coordinates
    QDir m_artefatti;
};

void tst_Idrovela::initTestCase()
{
    QVERIFY2(m_scrivania.pronta(), "Xvfb did not start");
    QVERIFY2(m_scrivania.avviaWindowManager(), "the window manager did not start");
    m_artefatti = Scrivania::cartellaArtefatti();
    QVERIFY(!qEnvironmentVariable("IDROVELA").isEmpty());
}

void tst_Idrovela::cleanup()
{
    if (m_programma && m_programma->state() != QProcess::NotRunning) {
        m_programma->kill();
        m_programma->waitForFinished();
    }
}

void tst_Idrovela::Avvia()
{
    m_programma = std::make_unique<QProcess>();
    m_programma->setProgram(qEnvironmentVariable("IDROVELA"));
    m_programma->start();
    QVERIFY(m_programma->waitForStarted());
    m_finestra = m_scrivania.cercaFinestra(QStringLiteral("Idrovela"));
    QVERIFY2(!m_finestra.isEmpty(), "the window did not appear");
    QTest::qWait(300); // let the window manager settle it and the first frame paint
    const QRect finestra = m_scrivania.geometria(m_finestra);
    // The client area is the bottom 474 x 400 of the window, under the menu bar.
    QCOMPARE(finestra.width(), 474);
    m_client = QRect(finestra.left(), finestra.bottom() - 399, 474, 400);
}

QColor tst_Idrovela::Colore(QPoint client) const
{
    return m_scrivania.schermata().pixelColor(Schermo(client));
}

void tst_Idrovela::Fotografa(const QString& nome)
{
    m_scrivania.schermata().save(m_artefatti.filePath(nome + QStringLiteral(".png")));
}

QPoint tst_Idrovela::CloseBox() const
{
    return m_scrivania.closeBox(m_finestra);
}

void tst_Idrovela::unaCorsaDallInizioAllaFine()
{
    Avvia();
    Fotografa(QStringLiteral("01-avvio"));
    QCOMPARE(Colore(NelLiquido), ColoreAcqua); // the design tank holds water

    m_scrivania.clic(Schermo(Olio));
    QTRY_COMPARE(Colore(NelLiquido), ColoreOlio);
    m_scrivania.clic(Schermo(Acqua));
    QTRY_COMPARE(Colore(NelLiquido), ColoreAcqua);
    Fotografa(QStringLiteral("02-acqua"));
    m_scrivania.clic(Schermo(Ferro));
    QTRY_VERIFY(Colore(NelCorpo) != ColoreAcqua); // the iron body shows in the tank
    Fotografa(QStringLiteral("03-ferro"));

    QElapsedTimer corsa;
    m_scrivania.clic(Schermo(OK));
    corsa.start();
    const QString verdetto = m_scrivania.cercaFinestra(QStringLiteral("Il corpo affonda"), 10000);
    const qint64 durata = corsa.elapsed();
    QVERIFY2(!verdetto.isEmpty(), "no verdict appeared");
    qInfo("from OK to the verdict: %lld ms (58 ticks of 30 ms make 1740 ms)", durata);
    QVERIFY(durata > 1500);
    Fotografa(QStringLiteral("04-verdetto"));
    QVERIFY(Colore(NelCorpo) != ColoreAcqua); // the body waits at the surface

    m_scrivania.tasto(QStringLiteral("Return"));
    QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));
    QTRY_COMPARE(Colore(NelCorpo), ColoreAcqua); // the reset hid the body
    Fotografa(QStringLiteral("05-dopo-il-verdetto"));

    // The close box asks first; "No" keeps everything as it was.
    m_scrivania.clic(CloseBox());
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    Fotografa(QStringLiteral("06-uscita"));
    m_scrivania.tasto(QStringLiteral("Escape"));
    QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Uscita")));
    QVERIFY(m_programma->state() == QProcess::Running);
    QVERIFY(m_scrivania.finestraEsiste(QStringLiteral("Idrovela")));
    Fotografa(QStringLiteral("07-rimasto"));

    // "Sì", the default button, ends the program.
    m_scrivania.clic(CloseBox());
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    m_scrivania.tasto(QStringLiteral("Return"));
    QVERIFY(m_programma->waitForFinished(5000));
    QCOMPARE(m_programma->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_programma->exitCode(), 0);
}

void tst_Idrovela::esceDuranteUnaDiscesa()
{
    Avvia();
    m_scrivania.clic(Schermo(Acqua));
    m_scrivania.clic(Schermo(Ferro));
    QTRY_VERIFY(Colore(NelCorpo) != ColoreAcqua);
    m_scrivania.clic(Schermo(OK)); // the bubbling starts, the body sinks
    QTest::qWait(400);
    m_scrivania.clic(CloseBox());
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    Fotografa(QStringLiteral("08-uscita-in-discesa"));
    m_scrivania.tasto(QStringLiteral("Return"));
    // Neither the descent nor the sound holds it back, and it leaves cleanly.
    QVERIFY(m_programma->waitForFinished(3000));
    QCOMPARE(m_programma->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_programma->exitCode(), 0);
    QVERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));
}

int main(int argc, char* argv[])
{
    Scrivania scrivania; // before the application, which connects to its display
    QGuiApplication app(argc, argv);
    tst_Idrovela test(scrivania);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Idrovela.moc"
