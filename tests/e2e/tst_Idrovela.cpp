// SPDX-License-Identifier: GPL-3.0-or-later
#include "Posizioni.h"
#include "Scrivania.h"

#include <QDir>
#include <QGuiApplication>
#include <QtTest>

#include <memory>

namespace {
// Where the pupil clicks, in the window's client area below the menu bar.
const Posizioni Disegno;
const QPoint Acqua = Disegno.Opzione("Option1", 0);
const QPoint Olio = Disegno.Opzione("Option1", 2);
const QPoint Ferro = Disegno.Opzione("Option2", 1);
const QPoint OK = Disegno.Centro("Command1");
// A point of the tank's liquid that the iron body covers while it shows at the surface, and
// the same point of the body when it lies on the floor, 2880 twips lower.
const QPoint NelCorpo(142, 96);
const QPoint NelCorpoSulFondo(142, 96 + 192);
// A point of the tank's liquid that no body ever covers.
const QPoint NelLiquido(60, 200);

const QColor ColoreAcqua(0x80, 0xFF, 0xFF);
const QColor ColoreOlio(0xD2, 0xFF, 0x80);
const QColor ColoreGrigio(0xD6, 0xD6, 0xD6); // mercury and petrol
const QColor Azzurro(192, 255, 255); // the panels
// A pixel of the explanation panel that the information panel never covers, and one of the
// information panel's white line; both show the form's grey while the panels are closed.
const QPoint SoloSpiegazione(398, 300);
const QPoint LineaInformazioni(380, 212);
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
    void soloConLaTastiera();
    void nitidoAlDoppio();
    void cleanup();

private:
    // scala: the screen's scale, which multiplies the client area.
    void Avvia(const QProcessEnvironment& ambiente = QProcessEnvironment::systemEnvironment(),
        int scala = 1);
    void Tasti(const QString& tasti, const QString& foto);
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

void tst_Idrovela::Avvia(const QProcessEnvironment& ambiente, int scala)
{
    m_programma = std::make_unique<QProcess>();
    m_programma->setProcessEnvironment(ambiente);
    m_programma->setProgram(qEnvironmentVariable("IDROVELA"));
    m_programma->start();
    QVERIFY(m_programma->waitForStarted());
    m_finestra = m_scrivania.cercaFinestra(QStringLiteral("Idrovela"));
    QVERIFY2(!m_finestra.isEmpty(), "the window did not appear");
    QVERIFY2(m_scrivania.attendiGestita(m_finestra), "the window manager did not frame it");
    const QRect finestra = m_scrivania.geometria(m_finestra);
    // The client area is the bottom 474 x 400 of the window, under the menu bar.
    QCOMPARE(finestra.width(), 474 * scala);
    m_client
        = QRect(finestra.left(), finestra.bottom() - 400 * scala + 1, 474 * scala, 400 * scala);
    QTRY_COMPARE(Colore(NelLiquido * scala), ColoreAcqua); // the first frame is painted
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
    const QColor ferro = Colore(NelCorpo);
    Fotografa(QStringLiteral("03-ferro"));

    // The body leaves the surface before the verdict comes: it goes down first.
    m_scrivania.clic(Schermo(OK));
    QTRY_COMPARE(Colore(NelCorpo), ColoreAcqua);
    QVERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));
    const QString verdetto = m_scrivania.cercaFinestra(QStringLiteral("Il corpo affonda"), 20000);
    QVERIFY2(!verdetto.isEmpty(), "no verdict appeared");
    Fotografa(QStringLiteral("04-verdetto"));
    // The body lies on the floor, no longer at the surface.
    QVERIFY(Colore(NelCorpo) == ColoreAcqua && Colore(NelCorpoSulFondo) == ferro);

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
    QVERIFY(m_programma->waitForFinished(30000));
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
    QTRY_COMPARE(Colore(NelCorpo), ColoreAcqua); // it has left the surface
    QVERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));
    m_scrivania.clic(CloseBox());
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    Fotografa(QStringLiteral("08-uscita-in-discesa"));
    m_scrivania.tasto(QStringLiteral("Return"));
    // Neither the descent nor the sound holds it back, and it leaves cleanly.
    QVERIFY(m_programma->waitForFinished(30000));
    QCOMPARE(m_programma->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_programma->exitCode(), 0);
    QVERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));
}

void tst_Idrovela::Tasti(const QString& tasti, const QString& foto)
{
    // The X server queues them in order, and the program takes them in that order.
    for (const QString& tasto : tasti.split(QLatin1Char(' ')))
        m_scrivania.tasto(tasto);
    Fotografa(foto);
}

// A pupil without a mouse: every choice, "OK" and its verdict, both menus, both panels opened
// and closed, the question before leaving answered "No" and then "Sì", with keys alone. And a
// session without a runtime folder, as in a root shell, hears nothing from the program.
void tst_Idrovela::soloConLaTastiera()
{
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    Avvia(ambiente);

    // The liquids: Space on "Acqua", which has the focus at start, then the arrow keys, each of
    // which chooses, as a click.
    Fotografa(QStringLiteral("20-tastiera-avvio"));
    const QList<QPair<QString, QColor>> liquidi { { QStringLiteral("space"), ColoreAcqua },
        { QStringLiteral("Down"), ColoreGrigio }, { QStringLiteral("Down"), ColoreOlio },
        { QStringLiteral("Down"), ColoreGrigio }, { QStringLiteral("Up Up Up"), ColoreAcqua } };
    for (const auto& [tasto, colore] : liquidi) {
        Tasti(tasto, QStringLiteral("21-tastiera-liquido"));
        QTRY_COMPARE(Colore(NelLiquido), colore);
    }
    // The materials: the body of each shows in the tank; iron is left chosen.
    Tasti(QStringLiteral("Tab space"), QStringLiteral("22-tastiera-ghiaccio"));
    QTRY_VERIFY(Colore(NelCorpo) != ColoreAcqua);
    Tasti(QStringLiteral("Down Down Down"), QStringLiteral("23-tastiera-legno"));
    QTRY_VERIFY(Colore(NelCorpo) != ColoreAcqua);
    Tasti(QStringLiteral("Up Up"), QStringLiteral("24-tastiera-ferro"));

    // "OK", then the verdict answered with Return.
    Tasti(QStringLiteral("Tab Return"), QStringLiteral("25-tastiera-ok"));
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Il corpo affonda"), 10000).isEmpty());
    Tasti(QStringLiteral("Return"), QStringLiteral("26-tastiera-verdetto-chiuso"));
    QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Il corpo affonda")));
    QTRY_COMPARE(Colore(NelCorpo), ColoreAcqua);

    // "File", "Idrovela": the explanation opens; Space on its arrow closes it.
    Tasti(QStringLiteral("alt Down Return"), QStringLiteral("27-tastiera-spiegazione"));
    QTRY_COMPARE(Colore(SoloSpiegazione), Azzurro);
    Tasti(QStringLiteral("space"), QStringLiteral("28-tastiera-spiegazione-chiusa"));
    QTRY_VERIFY(Colore(SoloSpiegazione) != Azzurro);
    // "?": the information opens; Return on its arrow closes it.
    Tasti(QStringLiteral("alt Right Return"), QStringLiteral("29-tastiera-informazioni"));
    QTRY_COMPARE(Colore(LineaInformazioni), QColor(Qt::white));
    Tasti(QStringLiteral("Return"), QStringLiteral("30-tastiera-informazioni-chiusa"));
    QTRY_VERIFY(Colore(LineaInformazioni) != QColor(Qt::white));
    // Both again, closed with Escape, the front one first.
    Tasti(QStringLiteral("alt Down Return alt Right Return"), QStringLiteral("31-tastiera-due"));
    QTRY_COMPARE(Colore(LineaInformazioni), QColor(Qt::white));
    QTRY_COMPARE(Colore(SoloSpiegazione), Azzurro);
    Tasti(QStringLiteral("Escape"), QStringLiteral("32-tastiera-escape"));
    QTRY_VERIFY(Colore(LineaInformazioni) != QColor(Qt::white));
    QCOMPARE(Colore(SoloSpiegazione), Azzurro);
    Tasti(QStringLiteral("Escape"), QStringLiteral("33-tastiera-escape"));
    QTRY_VERIFY(Colore(SoloSpiegazione) != Azzurro);

    // "Esci", answered "No" (Tab to it, Space), then "Sì" (the default, Return).
    Tasti(QStringLiteral("alt Down Up Return"), QStringLiteral("34-tastiera-esci"));
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    Tasti(QStringLiteral("Tab space"), QStringLiteral("35-tastiera-no"));
    QTRY_VERIFY(!m_scrivania.finestraEsiste(QStringLiteral("Uscita")));
    QVERIFY(m_programma->state() == QProcess::Running);
    Tasti(QStringLiteral("alt Down Up Return"), QStringLiteral("36-tastiera-esci"));
    QVERIFY(!m_scrivania.cercaFinestra(QStringLiteral("Uscita")).isEmpty());
    m_scrivania.tasto(QStringLiteral("Return"));
    QVERIFY(m_programma->waitForFinished(30000));
    QCOMPARE(m_programma->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_programma->exitCode(), 0);
    QCOMPARE(QString::fromLocal8Bit(m_programma->readAllStandardError()), QString());
}

// At 200 % the tank is its drawing at 2x pixel for pixel: outlines two pixels thick along
// smooth curves, not the design picture's pixels doubled into steps.
void tst_Idrovela::nitidoAlDoppio()
{
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    Avvia(ambiente, 2);
    const QImage atteso
        = QImage(QStringLiteral(IDROVELA_RISORSE "/bitmap/contenitore_acqua@2x.png"))
              .convertToFormat(QImage::Format_RGB32);
    QCOMPARE(atteso.size(), QSize(574, 732));
    // The tank stands at (8, 16) of the design's client area.
    const QRect contenitore(Schermo(QPoint(16, 32)), atteso.size());
    QTRY_VERIFY(m_scrivania.schermata(contenitore).convertToFormat(QImage::Format_RGB32) == atteso);
    Fotografa(QStringLiteral("09-al-doppio"));
}

SCRIVANIA_MAIN_SCHERMO(tst_Idrovela, 1280, 1024)

#include "tst_Idrovela.moc"
