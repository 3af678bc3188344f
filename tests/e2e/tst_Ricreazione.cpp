// SPDX-License-Identifier: GPL-3.0-or-later
// The built program under a burst of real clicks and keys on a real X server: options, OK,
// the arrows, the tank, the menus, the close box, with any mouse button, the boxes answered
// as a pupil would (the question before leaving always with Escape, "No"). Afterwards the
// program must still run and answer, and leave cleanly when asked to.
//
//   IDROVELA_SEME=N IDROVELA_PASSI=N tst_Ricreazione
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
QPoint Liquido(int i)
{
    return { 342, 36 + 24 * i };
}
QPoint Materiale(int i)
{
    return { 342, 156 + 24 * i };
}
const QPoint OK(384, 268);
const QPoint FrecciaSpiegazione(353, 308); // Command3, when its panel is open
const QPoint FrecciaInformazioni(353, 260); // Image1, likewise
const QRect Vasca(8, 16, 287, 366);
const QPoint NelLiquido(60, 200); // no body ever covers it
// A pixel of the explanation panel that the information panel never covers, and one of the
// white line across the information panel; both show the form's grey when they are closed.
const QPoint SoloSpiegazione(398, 300);
const QPoint LineaInformazioni(380, 212);

const QColor ColoreAcqua(0x80, 0xFF, 0xFF);
const QColor ColoreOlio(0xD2, 0xFF, 0x80);
const QColor Azzurro(192, 255, 255);

const QString Uscita = QStringLiteral("Uscita");
const QString Scatole = QStringLiteral("^(Uscita|Il corpo affonda|Il corpo galleggia)$");

} // namespace

class tst_Ricreazione : public QObject {
    Q_OBJECT

public:
    tst_Ricreazione(Scrivania& scrivania, quint32 seme, int passi)
        : m_scrivania(scrivania)
        , m_caso(seme)
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
    QStringList ScatoleAperte() const;
    QString ChiudiIPannelli();
    bool Vivo() const { return m_programma && m_programma->state() == QProcess::Running; }

    Scrivania& m_scrivania;
    QRandomGenerator m_caso;
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
    int m_domande = 0;
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

QStringList tst_Ricreazione::ScatoleAperte() const
{
    const QString trovate = m_scrivania.xdotool({ QStringLiteral("search"),
        QStringLiteral("--onlyvisible"), QStringLiteral("--name"), Scatole });
    QStringList titoli;
    for (const QString& id : trovate.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        titoli << m_scrivania.xdotool({ QStringLiteral("getwindowname"), id });
    return titoli;
}

// The question before leaving is always answered "No" (Escape); a verdict now and then stays
// open for a few steps, while the pupil goes on clicking on the window it blocks.
void tst_Ricreazione::RispondiAlleScatole(bool tutte)
{
    for (int giro = 0; giro < 10; ++giro) {
        const QStringList aperte = ScatoleAperte();
        if (aperte.isEmpty())
            return;
        const bool domanda = aperte.contains(Uscita);
        if (!domanda && !tutte && m_caso.bounded(4) == 0)
            return;
        const QString titolo = domanda ? Uscita : aperte.first();
        const QString id = m_scrivania.cercaFinestra(titolo, 0);
        const QString tasto
            = domanda || m_caso.bounded(2) ? QStringLiteral("Escape") : QStringLiteral("Return");
        m_scrivania.xdotool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), id,
            QStringLiteral("key"), tasto });
        ++m_risposte;
        QDeadlineTimer attesa(2000);
        while (m_scrivania.finestraEsiste(titolo) && !attesa.hasExpired())
            QTest::qWait(20);
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
        // for a while, long enough for a verdict to come meanwhile.
        const bool tenuto = m_caso.bounded(30) == 0;
        comandi << QStringLiteral("mousemove") << QString::number(schermo.x())
                << QString::number(schermo.y()) << QStringLiteral("mousedown")
                << QString::number(tasto);
        if (tenuto)
            comandi << QStringLiteral("sleep")
                    << QString::number(0.2 + 0.1 * m_caso.bounded(5), 'f', 1);
        comandi << QStringLiteral("mouseup") << QString::number(tasto) << QStringLiteral("sleep")
                << QString::number(0.01 * m_caso.bounded(6), 'f', 2);
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
    QTest::qWait(100);
    static const QStringList scelte { QStringLiteral("Down Return"),
        QStringLiteral("Down Down Return"), QStringLiteral("Escape"), QStringLiteral("Up Return") };
    const QString scelta = scelte.at(int(m_caso.bounded(scelte.size())));
    QStringList argomenti { QStringLiteral("key") };
    argomenti << scelta.split(QLatin1Char(' '));
    m_scrivania.xdotool(argomenti);
    m_tasti += int(argomenti.size()) - 1;
    // "Esci" asks, unless a verdict that came meanwhile took the keys.
    if ((scelta.count(QStringLiteral("Down")) == 2 || scelta.startsWith(QLatin1String("Up")))
        && !m_scrivania.cercaFinestra(Uscita, 3000).isEmpty())
        ++m_domande;
    return QStringLiteral("the File menu, then ") + scelta;
}

QString tst_Ricreazione::Tasti()
{
    // Keys with the focus wherever it is; never one that would answer the question "Sì".
    static const QStringList tasti { QStringLiteral("Tab"), QStringLiteral("shift+Tab"),
        QStringLiteral("Up"), QStringLiteral("Down"), QStringLiteral("Left"),
        QStringLiteral("Right"), QStringLiteral("space"), QStringLiteral("Return") };
    if (!ScatoleAperte().filter(Uscita).isEmpty())
        return QStringLiteral("no keys: the question is open");
    QStringList argomenti { QStringLiteral("key") };
    const int quanti = 1 + int(m_caso.bounded(4));
    for (int n = 0; n < quanti; ++n)
        argomenti << tasti.at(int(m_caso.bounded(tasti.size())));
    m_scrivania.xdotool(argomenti);
    m_tasti += quanti;
    return argomenti.join(QLatin1Char(' '));
}

QString tst_Ricreazione::Chiusura()
{
    // A verdict that is open blocks the window, and so its close box; else the question comes
    // and is answered "No" before the next step.
    const bool bloccata = !ScatoleAperte().isEmpty();
    m_scrivania.clic(m_scrivania.closeBox(m_finestra));
    ++m_clic;
    if (m_scrivania.cercaFinestra(Uscita, bloccata ? 300 : 3000).isEmpty())
        return QStringLiteral("the close box: no question");
    ++m_domande;
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
    const int ms = int(m_caso.bounded(1000));
    QTest::qWait(ms); // a descent may reach the floor meanwhile
    return QStringLiteral("a wait of %1 ms").arg(ms);
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
        QTest::qWait(200);
    }
    return QStringLiteral("a panel does not close with its arrow");
}

void tst_Ricreazione::unaRicreazione()
{
    m_programma = std::make_unique<QProcess>();
    m_programma->setProgram(qEnvironmentVariable("IDROVELA"));
    m_programma->setProcessChannelMode(QProcess::MergedChannels);
    m_programma->start();
    QVERIFY(m_programma->waitForStarted());
    m_finestra = m_scrivania.cercaFinestra(QStringLiteral("Idrovela"));
    QVERIFY2(!m_finestra.isEmpty(), "the window did not appear");
    QTest::qWait(300);
    const QRect finestra = m_scrivania.geometria(m_finestra);
    QCOMPARE(finestra.width(), 474);
    m_client = QRect(finestra.left(), finestra.bottom() - 399, 474, 400);
    m_barra = QRect(finestra.left(), finestra.top(), 474, m_client.top() - finestra.top());

    QElapsedTimer cronometro;
    cronometro.start();
    QStringList storia;
    for (int numero = 1; numero <= m_passi; ++numero) {
        const QString fatto = Passo();
        storia << QStringLiteral("#%1 %2").arg(numero).arg(fatto);
        if (!Vivo()) {
            m_scrivania.schermata().save(m_artefatti.filePath(QStringLiteral("ricreazione.png")));
            qInfo("%s", qPrintable(storia.mid(qMax(0, storia.size() - 20)).join('\n')));
            qInfo("the program said: %s", m_programma->readAll().constData());
            QFAIL(qPrintable(
                QStringLiteral("seed %1, step %2: the program is gone").arg(m_seme).arg(numero)));
        }
        RispondiAlleScatole(false);
    }
    qInfo("seed %u: %d steps in %lld ms: %d clicks, %d keys, %d questions, %d boxes answered",
        m_seme, m_passi, cronometro.elapsed(), m_clic, m_tasti, m_domande, m_risposte);

    // Still there, and still answering: a descent that may be going on ends, the panels close
    // with their arrows, and the tank takes the colour of each liquid chosen.
    QTest::qWait(2500);
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
    QVERIFY(m_programma->waitForFinished(5000));
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
