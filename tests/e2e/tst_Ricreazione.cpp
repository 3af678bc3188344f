// SPDX-License-Identifier: GPL-3.0-or-later
// The built program under a burst of real clicks and keys on a real X server: options, OK,
// the arrows, the tank, the menus, the close box, with any mouse button, the boxes answered
// as a pupil would (the question before leaving always with Escape, "No"). Afterwards the
// program must still run and answer, and leave cleanly when asked to. What reached its windows
// is read from the program's own record of the X events it received, and counted.
//
//   IDROVELA_SEME=N IDROVELA_PASSI=N tst_Ricreazione     (the seed it prints replays a run)
#include "Posizioni.h"
#include "Scrivania.h"
#include "ServerDelRumore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

constexpr quint32 SemePredefinito = 11;
constexpr int PassiPredefiniti = 120;

// Client-area points, below the menu bar.
const Posizioni Disegno;
QPoint Liquido(int i)
{
    return Disegno.Opzione("Option1", i);
}
QPoint Materiale(int i)
{
    return Disegno.Opzione("Option2", i);
}
const QPoint OK = Disegno.Centro("Command1");
const QPoint FrecciaSpiegazione = Disegno.Centro("Command3"); // when its panel is open
const QPoint FrecciaInformazioni = Disegno.Centro("Image1"); // likewise
const QRect Vasca = Disegno.Rettangolo("imgContenitore");
const QPoint NelLiquido(60, 200); // no body ever covers it
// A pixel of the explanation panel that the information panel never covers, and one of the
// white line across the information panel; both show the form's grey when they are closed.
const QPoint SoloSpiegazione(398, 300);
const QPoint LineaInformazioni(380, 212);

const QColor ColoreAcqua(0x80, 0xFF, 0xFF);
const QColor ColoreOlio(0xD2, 0xFF, 0x80);
const QColor Azzurro(192, 255, 255);

const QString Uscita = QStringLiteral("Uscita");
const QStringList Scatole { Uscita, QStringLiteral("Il corpo affonda"),
    QStringLiteral("Il corpo galleggia") };
// The program's record of each button press and key press that reached one of its windows.
const QByteArray Premuto = "XI2 mouse press";
const QByteArray TastoPremuto = "XCB_KEY_PRESS";

} // namespace

class tst_Ricreazione : public QObject {
    Q_OBJECT

public:
    tst_Ricreazione(Scrivania& scrivania, quint32 seme, int passi)
        : m_scrivania(scrivania)
        , m_caso(seme)
        , m_risposta(seme ^ 0x5eed)
        , m_seme(seme)
        , m_passi(passi)
    {
    }

private slots:
    void initTestCase();
    void unaRicreazione();
    void cleanup();

private:
    QPoint Schermo(QPoint client) const { return m_client.topLeft() + client; }
    QColor Colore(QPoint client) const;
    QString Passo();
    QString Raffica();
    QString Menu();
    QString Tasti();
    QString Chiusura();
    void RispondiAlleScatole(bool tutte);
    // The boxes open now: their titles and window ids.
    QMap<QString, QString> ScatoleAperte() const;
    QString ChiudiIPannelli();
    // Reads what the program recorded since; the counts of what reached it.
    void Ascolta();
    // Until the program has received this many key presses in all.
    bool AttendiTasti(int quanti);
    // Until the tank stands still: no descent runs.
    bool VascaFerma();
    bool Vivo() const { return m_programma && m_programma->state() == QProcess::Running; }

    Scrivania& m_scrivania;
    // The steps from one generator, the answers to the boxes from another: which boxes are
    // open when depends on the machine's pace, and must not change the steps of a replay.
    QRandomGenerator m_caso;
    QRandomGenerator m_risposta;
    quint32 m_seme;
    int m_passi;
    std::unique_ptr<QProcess> m_programma;
    QString m_finestra;
    QRect m_client; // the client area below the menu bar, in screen coordinates
    QRect m_barra; // the menu bar, in screen coordinates
    QDir m_artefatti;
    int m_clic = 0;
    int m_tasti = 0;
    int m_risposte = 0;
    // Seen at the program's windows, not sent.
    int m_clicRicevuti = 0;
    int m_tastiRicevuti = 0;
    int m_domande = 0;
    int m_verdetti = 0;
    QByteArray m_resto; // the last line of the record, not yet whole
    QByteArray m_ultimeRighe; // the end of the record, to show when the program fails
};

void tst_Ricreazione::initTestCase()
{
    QVERIFY2(m_scrivania.pronta(), "Xvfb did not start");
    QVERIFY2(m_scrivania.avviaWindowManager(), "the window manager did not start");
    m_artefatti = Scrivania::cartellaArtefatti();
    QVERIFY(!qEnvironmentVariable("IDROVELA").isEmpty());
}

void tst_Ricreazione::cleanup()
{
    if (Vivo()) {
        m_programma->kill();
        m_programma->waitForFinished();
    }
}

QColor tst_Ricreazione::Colore(QPoint client) const
{
    return m_scrivania.schermata().pixelColor(Schermo(client));
}

QMap<QString, QString> tst_Ricreazione::ScatoleAperte() const
{
    QMap<QString, QString> aperte;
    for (const QString& titolo : Scatole) {
        const QString id = m_scrivania.cercaFinestra(titolo, 0);
        if (!id.isEmpty())
            aperte.insert(titolo, id);
    }
    return aperte;
}

void tst_Ricreazione::Ascolta()
{
    if (!m_programma)
        return;
    // Whatever the pipe holds, also outside the event loop: a full pipe would hold the
    // program up.
    while (m_programma->waitForReadyRead(0)) { }
    QByteArray nuovo = m_resto + m_programma->readAll();
    const qsizetype fine = nuovo.lastIndexOf('\n') + 1;
    m_resto = nuovo.mid(fine);
    nuovo.truncate(fine);
    m_clicRicevuti += int(nuovo.count(Premuto));
    m_tastiRicevuti += int(nuovo.count(TastoPremuto));
    m_ultimeRighe = (m_ultimeRighe + nuovo).right(4000);
}

bool tst_Ricreazione::AttendiTasti(int quanti)
{
    return QTest::qWaitFor(
        [&] {
            Ascolta();
            return m_tastiRicevuti >= quanti;
        },
        10000);
}

bool tst_Ricreazione::VascaFerma()
{
    const QRect vasca = QRect(Schermo(Vasca.topLeft()), Vasca.size());
    QImage prima = m_scrivania.schermata(vasca);
    QDeadlineTimer scadenza(20000);
    while (!scadenza.hasExpired()) {
        QTest::qWait(100); // a poll interval: three steps of a descent
        const QImage dopo = m_scrivania.schermata(vasca);
        if (dopo == prima)
            return true;
        prima = dopo;
    }
    return false;
}

// The question before leaving is always answered "No" (Escape); a verdict now and then stays
// open for a few steps, while the pupil goes on clicking on the window it blocks. A verdict
// that came after the question lies over it, and takes the keys first: Escape closes it.
void tst_Ricreazione::RispondiAlleScatole(bool tutte)
{
    for (int giro = 0; giro < 10; ++giro) {
        const QMap<QString, QString> aperte = ScatoleAperte();
        if (aperte.isEmpty())
            return;
        const bool domanda = aperte.contains(Uscita);
        if (!domanda && !tutte && m_risposta.bounded(4) == 0)
            return;
        const QString titolo = domanda ? Uscita : aperte.firstKey();
        const QString tasto = domanda || m_risposta.bounded(2) ? QStringLiteral("Escape")
                                                               : QStringLiteral("Return");
        m_scrivania.xdotool({ QStringLiteral("windowactivate"), aperte.value(titolo) });
        const QStringList ids = aperte.values();
        if (!QTest::qWaitFor(
                [&] {
                    return ids.contains(m_scrivania.xdotool({ QStringLiteral("getactivewindow") }));
                },
                10000))
            continue;
        m_scrivania.tasto(tasto);
        ++m_risposte;
        ++m_tasti;
        QMap<QString, QString> dopo;
        if (!QTest::qWaitFor(
                [&] {
                    dopo = ScatoleAperte();
                    return dopo.size() < aperte.size();
                },
                10000))
            continue;
        for (const QString& chiusa : aperte.keys())
            if (!dopo.contains(chiusa))
                ++(chiusa == Uscita ? m_domande : m_verdetti);
    }
}

QString tst_Ricreazione::Raffica()
{
    // A few clicks in a row, anywhere a pupil's hand goes.
    const int quanti = 1 + int(m_caso.bounded(8));
    QStringList comandi;
    QStringList dove;
    for (int n = 0; n < quanti; ++n) {
        QPoint punto;
        switch (m_caso.bounded(8)) {
        case 0:
        case 1:
            punto = Liquido(int(m_caso.bounded(4)));
            break;
        case 2:
        case 3:
            punto = Materiale(int(m_caso.bounded(4)));
            break;
        case 4:
            punto = OK;
            break;
        case 5:
            punto = m_caso.bounded(2) ? FrecciaSpiegazione : FrecciaInformazioni;
            break;
        case 6:
            punto = QPoint(Vasca.left() + int(m_caso.bounded(Vasca.width())),
                Vasca.top() + int(m_caso.bounded(Vasca.height())));
            break;
        default:
            punto = QPoint(int(m_caso.bounded(474)), int(m_caso.bounded(400)));
        }
        punto += QPoint(int(m_caso.bounded(9)) - 4, int(m_caso.bounded(7)) - 3);
        const int tasto = m_caso.bounded(10) < 8 ? 1 : 2 + int(m_caso.bounded(2));
        const QPoint schermo = Schermo(punto);
        // Pressed and released at once (xdotool's own click waits 100 ms), or now and then held
        // until the program has taken the press and the tank stands still, so that a verdict
        // may come meanwhile.
        const bool tenuto = m_caso.bounded(30) == 0;
        comandi << QStringLiteral("mousemove") << QString::number(schermo.x())
                << QString::number(schermo.y()) << QStringLiteral("mousedown")
                << QString::number(tasto);
        if (tenuto) {
            m_scrivania.xdotool(comandi);
            comandi.clear();
            VascaFerma();
        }
        comandi << QStringLiteral("mouseup") << QString::number(tasto);
        dove << QStringLiteral("%1@%2,%3%4")
                    .arg(tasto)
                    .arg(punto.x())
                    .arg(punto.y())
                    .arg(tenuto ? QStringLiteral(" held") : QString());
    }
    m_scrivania.xdotool(comandi);
    m_clic += quanti;
    return QStringLiteral("clicks ") + dove.join(QLatin1Char(' '));
}

QString tst_Ricreazione::Menu()
{
    // The menu bar's "File" and "?", then the menu by keyboard: "Idrovela", "Esci" or nothing.
    const bool file = m_caso.bounded(3) != 0;
    const QPoint voce(m_barra.left() + (file ? 14 : 40), m_barra.center().y());
    m_scrivania.clic(voce);
    ++m_clic;
    if (!file)
        return QStringLiteral("the \"?\" menu");
    // The keys queue behind the click, and the program takes them once its menu is open.
    static const QStringList scelte { QStringLiteral("Down Return"),
        QStringLiteral("Down Down Return"), QStringLiteral("Escape"), QStringLiteral("Up Return") };
    const QString scelta = scelte.at(int(m_caso.bounded(scelte.size())));
    QStringList argomenti { QStringLiteral("key") };
    argomenti << scelta.split(QLatin1Char(' '));
    m_scrivania.xdotool(argomenti);
    m_tasti += int(argomenti.size()) - 1;
    // "Esci" asks, unless a verdict that came meanwhile took the keys: once the program has
    // taken them, the question is on its way to the screen.
    const bool esci
        = scelta.count(QStringLiteral("Down")) == 2 || scelta.startsWith(QLatin1String("Up"));
    if (AttendiTasti(m_tasti) && esci) {
        QMap<QString, QString> verdetti = ScatoleAperte();
        verdetti.remove(Uscita);
        if (verdetti.isEmpty())
            m_scrivania.cercaFinestra(Uscita, 10000);
    }
    return QStringLiteral("the File menu, then ") + scelta;
}

QString tst_Ricreazione::Tasti()
{
    // Keys with the focus wherever it is; never one that would answer the question "Sì".
    static const QStringList tasti { QStringLiteral("Tab"), QStringLiteral("shift+Tab"),
        QStringLiteral("Up"), QStringLiteral("Down"), QStringLiteral("Left"),
        QStringLiteral("Right"), QStringLiteral("space"), QStringLiteral("Return") };
    QStringList argomenti { QStringLiteral("key") };
    const int quanti = 1 + int(m_caso.bounded(4));
    for (int n = 0; n < quanti; ++n)
        argomenti << tasti.at(int(m_caso.bounded(tasti.size())));
    if (ScatoleAperte().contains(Uscita))
        return QStringLiteral("no keys: the question is open");
    m_scrivania.xdotool(argomenti);
    m_tasti += quanti;
    AttendiTasti(m_tasti);
    return argomenti.join(QLatin1Char(' '));
}

QString tst_Ricreazione::Chiusura()
{
    // A verdict that is open blocks the window, and so its close box; else the question comes
    // and is answered "No" before the next step.
    const bool bloccata = !ScatoleAperte().isEmpty();
    m_scrivania.clic(m_scrivania.closeBox(m_finestra));
    if (bloccata)
        return QStringLiteral("the close box, under a box");
    if (m_scrivania.cercaFinestra(Uscita, 10000).isEmpty())
        return QStringLiteral("the close box: no question");
    return QStringLiteral("the close box");
}

QString tst_Ricreazione::Passo()
{
    const quint32 tipo = m_caso.bounded(20);
    if (tipo < 12)
        return Raffica();
    if (tipo < 15)
        return Menu();
    if (tipo < 18)
        return Tasti();
    if (tipo < 19)
        return Chiusura();
    // The pupil waits for the tank to stand still: a descent reaches the floor meanwhile.
    return VascaFerma() ? QStringLiteral("a wait for the tank")
                        : QStringLiteral("a tank that never stands still");
}

QString tst_Ricreazione::ChiudiIPannelli()
{
    for (int giro = 0; giro < 3; ++giro) {
        RispondiAlleScatole(true);
        const bool informazioni = Colore(LineaInformazioni) == QColor(Qt::white);
        const bool spiegazione = Colore(SoloSpiegazione) == Azzurro;
        if (!informazioni && !spiegazione)
            return {};
        if (informazioni)
            m_scrivania.clic(Schermo(FrecciaInformazioni));
        else
            m_scrivania.clic(Schermo(FrecciaSpiegazione));
        const bool chiuso = QTest::qWaitFor(
            [&] {
                return informazioni ? Colore(LineaInformazioni) != QColor(Qt::white)
                                    : Colore(SoloSpiegazione) != Azzurro;
            },
            10000);
        if (!chiuso)
            break;
    }
    return QStringLiteral("a panel does not close with its arrow");
}

void tst_Ricreazione::unaRicreazione()
{
    qInfo("seed %u, %d steps: IDROVELA_SEME=%u IDROVELA_PASSI=%d replays this run", m_seme, m_passi,
        m_seme, m_passi);
    m_programma = std::make_unique<QProcess>();
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("QT_LOGGING_RULES"),
        QStringLiteral("qt.qpa.events.debug=true;qt.qpa.input.events.debug=true"));
    m_programma->setProcessEnvironment(ambiente);
    m_programma->setProgram(qEnvironmentVariable("IDROVELA"));
    m_programma->setProcessChannelMode(QProcess::MergedChannels);
    m_programma->start();
    QVERIFY(m_programma->waitForStarted());
    m_finestra = m_scrivania.cercaFinestra(QStringLiteral("Idrovela"));
    QVERIFY2(!m_finestra.isEmpty(), "the window did not appear");
    QVERIFY2(m_scrivania.attendiGestita(m_finestra), "the window manager did not frame it");
    const QRect finestra = m_scrivania.geometria(m_finestra);
    QCOMPARE(finestra.width(), 474);
    m_client = QRect(finestra.left(), finestra.bottom() - 399, 474, 400);
    m_barra = QRect(finestra.left(), finestra.top(), 474, m_client.top() - finestra.top());
    QTRY_COMPARE(Colore(NelLiquido), ColoreAcqua); // the first frame is painted

    QElapsedTimer cronometro;
    cronometro.start();
    QStringList storia;
    for (int numero = 1; numero <= m_passi; ++numero) {
        const QString fatto = Passo();
        const int clicPrima = m_clicRicevuti;
        const int tastiPrima = m_tastiRicevuti;
        Ascolta();
        storia << QStringLiteral("#%1 %2 (%3 presses, %4 keys received)")
                      .arg(numero)
                      .arg(fatto)
                      .arg(m_clicRicevuti - clicPrima)
                      .arg(m_tastiRicevuti - tastiPrima);
        const QStringList guasti = m_scrivania.guastiXdotool();
        if (!Vivo() || !guasti.isEmpty()) {
            m_scrivania.schermata().save(m_artefatti.filePath(QStringLiteral("ricreazione.png")));
            qInfo("%s", qPrintable(storia.mid(qMax(0, storia.size() - 20)).join('\n')));
            qInfo("the program's record ends: %s", m_ultimeRighe.right(1500).constData());
            QFAIL(qPrintable(QStringLiteral("seed %1, step %2: %3")
                                 .arg(m_seme)
                                 .arg(numero)
                                 .arg(guasti.isEmpty() ? QStringLiteral("the program is gone")
                                                       : guasti.join(QLatin1Char('\n')))));
        }
        RispondiAlleScatole(false);
    }
    // Until the program has taken all that was sent: the X server delivers in order, so once
    // a last key, Shift alone, which does nothing, has come, all before it has.
    m_scrivania.tasto(QStringLiteral("shift"));
    ++m_tasti;
    const bool tuttoRicevuto = AttendiTasti(m_tasti);
    qInfo("seed %u: %d steps in %lld ms: %d clicks and %d keys sent; %d presses and %d keys "
          "received, %d questions and %d verdicts seen, %d boxes answered",
        m_seme, m_passi, cronometro.elapsed(), m_clic, m_tasti, m_clicRicevuti, m_tastiRicevuti,
        m_domande, m_verdetti, m_risposte);
    QVERIFY(m_scrivania.guastiXdotool().isEmpty());
    if (!tuttoRicevuto && (m_tastiRicevuti < m_tasti || m_clicRicevuti < m_clic * 9 / 10))
        qInfo("%s", qPrintable(storia.join(QLatin1Char('\n'))));
    // Every key goes to a window of the program, which has the focus throughout. A click
    // may land a few pixels outside the client area, on the frame, or on a box that covers
    // the window; nine in ten reach it all the same. A run this long asks and answers.
    QVERIFY2(m_tastiRicevuti >= m_tasti,
        qPrintable(
            QStringLiteral("%1 of %2 keys reached the program").arg(m_tastiRicevuti).arg(m_tasti)));
    QVERIFY2(m_clicRicevuti >= m_clic * 9 / 10,
        qPrintable(
            QStringLiteral("%1 of %2 clicks reached the program").arg(m_clicRicevuti).arg(m_clic)));
    if (m_passi >= 100) {
        QVERIFY2(m_domande >= 1, "no question was seen");
        QVERIFY2(m_verdetti >= 1, "no verdict was seen");
    }

    // Still there, and still answering: a descent that may be going on ends, the panels close
    // with their arrows, and the tank takes the colour of each liquid chosen.
    QVERIFY2(VascaFerma(), "the tank never stands still");
    QCOMPARE(ChiudiIPannelli(), QString());
    QVERIFY(Vivo());
    m_scrivania.schermata().save(m_artefatti.filePath(QStringLiteral("ricreazione.png")));
    m_scrivania.clic(Schermo(Liquido(2)));
    QTRY_COMPARE(Colore(NelLiquido), ColoreOlio);
    m_scrivania.clic(Schermo(Liquido(0)));
    QTRY_COMPARE(Colore(NelLiquido), ColoreAcqua);

    // And it leaves cleanly when the pupil says "Sì".
    RispondiAlleScatole(true);
    m_scrivania.clic(m_scrivania.closeBox(m_finestra));
    QVERIFY(!m_scrivania.cercaFinestra(Uscita).isEmpty());
    m_scrivania.tasto(QStringLiteral("Return"));
    QVERIFY(m_programma->waitForFinished(30000));
    const QByteArray detto = m_programma->readAll();
    QCOMPARE(m_programma->exitStatus(), QProcess::NormalExit);
    QVERIFY2(m_programma->exitCode() == 0, detto.constData());
}

int main(int argc, char* argv[])
{
    UsaIlServerDelRumore(); // for the program, which inherits it
    Scrivania scrivania; // before the application, which connects to its display
    QGuiApplication app(argc, argv);
    const quint32 seme
        = qEnvironmentVariable("IDROVELA_SEME", QString::number(SemePredefinito)).toUInt();
    const int passi
        = qEnvironmentVariable("IDROVELA_PASSI", QString::number(PassiPredefiniti)).toInt();
    tst_Ricreazione test(scrivania, seme, passi);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Ricreazione.moc"
