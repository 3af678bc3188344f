// SPDX-License-Identifier: GPL-3.0-or-later
// A classroom let loose on the real window: a long seeded series of random inputs, each
// delivered the way the windowing system delivers it (through the window, so that an open
// menu or message box stands in the way as it would), with every invariant of the experiment
// checked after every input. A failure names the seed and the input, to replay it:
//
//   tst_Scolaresca [--seme N] [--eventi N] [Qt Test options]
//
// (or IDROVELA_SEME and IDROVELA_EVENTI). The inputs are the same for the same seed; only the
// few real waits let the clock decide how many ticks run, so a replay may differ after one.
#include "Aspetto.h"
#include "AvvisiOffscreen.h"
#include "Figura.h"
#include "Form1.h"
#include "Modello.h"
#include "RispostaImmediata.h"
#include "ServerDelRumore.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <deque>
#include <map>

namespace {

constexpr quint32 SemePredefinito = 2024;
constexpr int EventiPredefiniti = 10000;
constexpr int Ricordati = 30; // inputs printed before a failure
constexpr int SceltePerRaffica = 300; // more than a byte can count

enum class Tipo {
    Opzione,
    IndiceQualsiasi,
    Tastiera,
    Ok,
    Tick,
    Attesa,
    Comando,
    Menu,
    Premi,
    Rilascia,
    ClicQualsiasi,
    Chiusura,
    Raffica,
    NuovaFinestra,
};

struct Peso {
    Tipo tipo;
    int peso;
    const char* nome;
};

// Ticks are frequent enough for sinking bodies to reach the floor between other inputs.
constexpr std::array<Peso, 14> Pesi { {
    { Tipo::Opzione, 160, "option clicks" },
    { Tipo::IndiceQualsiasi, 10, "clicks of any index" },
    { Tipo::Tastiera, 120, "keys" },
    { Tipo::Ok, 100, "clicks on OK" },
    { Tipo::Tick, 400, "ticks" },
    { Tipo::Attesa, 2, "real waits" },
    { Tipo::Comando, 30, "menu commands" },
    { Tipo::Menu, 25, "clicks on menus" },
    { Tipo::Premi, 40, "presses on the arrows" },
    { Tipo::Rilascia, 60, "releases" },
    { Tipo::ClicQualsiasi, 60, "clicks anywhere" },
    { Tipo::Chiusura, 8, "close requests" },
    { Tipo::Raffica, 1, "bursts of option clicks" },
    { Tipo::NuovaFinestra, 1, "new windows" },
} };

constexpr std::array<Qt::MouseButton, 5> TastiMouse { Qt::LeftButton, Qt::RightButton,
    Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton };

constexpr std::array<Qt::Key, 18> TastiTastiera { Qt::Key_Space, Qt::Key_Space, Qt::Key_Up,
    Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return,
    Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Home, Qt::Key_End, Qt::Key_Alt, Qt::Key_F10, Qt::Key_A,
    Qt::Key_O, Qt::Key_Menu };

constexpr std::array<int, 12> IndiciStrani { -1, 4, 5, 7, 100, 255, 256, 257, 1000, -256, INT_MAX,
    INT_MIN };

const std::array<const char*, Modello::Corpi> NomiCorpi { "imgGhiaccio", "imgFerro", "imgRame",
    "imgLegno" };
constexpr std::array<Immagine, Modello::Corpi> ImmaginiCorpi { Immagine::imgGhiaccio,
    Immagine::imgFerro, Immagine::imgRame, Immagine::imgLegno };

constexpr int LeftCorpi = 112; // pixels: 1680 twips
constexpr float TopMassimo = 3890.0f; // the bottom limit and one step

// Mostly the left button, as pupils use; sometimes any other.
Qt::MouseButton TastoMouse(quint32 caso)
{
    return caso % 10 < 7 ? Qt::LeftButton : TastiMouse.at((caso / 10) % TastiMouse.size());
}

// A point of the rectangle; never (0, 0), which Qt Test reads as "the centre".
QPoint PuntoIn(const QRect& rettangolo, quint32 caso)
{
    const int x = rettangolo.left() + int(caso % quint32(qMax(1, rettangolo.width())));
    const int y = rettangolo.top() + int((caso >> 16) % quint32(qMax(1, rettangolo.height())));
    return QPoint(x, y).isNull() ? QPoint(1, 1) : QPoint(x, y);
}

QString NomeTasto(Qt::MouseButton tasto)
{
    switch (tasto) {
    case Qt::LeftButton:
        return QStringLiteral("left");
    case Qt::RightButton:
        return QStringLiteral("right");
    case Qt::MiddleButton:
        return QStringLiteral("middle");
    case Qt::BackButton:
        return QStringLiteral("back");
    default:
        return QStringLiteral("forward");
    }
}

QString Punto(QPoint p)
{
    return QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y());
}

} // namespace

class tst_Scolaresca : public QObject {
    Q_OBJECT

public:
    tst_Scolaresca(quint32 seme, int eventi)
        : m_seme(seme)
        , m_eventi(eventi)
    {
    }

private slots:
    void initTestCase() { TaciLimitiOffscreen(); }
    void init();
    void cleanup();
    void nuovaFinestraDuranteUnaCorsa();
    void unaClasseIntera();

private:
    struct Evento {
        Tipo tipo;
        quint32 a, b, c;
    };

    QString Apri();
    void Chiudi();
    void OsservaEsc(const QKeyEvent* tasto);
    void OsservaTasto(const QObject* freccia, const QKeyEvent* tasto);
    Evento Estrai(QRandomGenerator& caso) const;
    QString Esegui(const Evento& evento);
    QString Verifica();
    void Osserva();
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

    QString Clic(QWindow* finestra, Qt::MouseButton tasto, QPoint punto);
    QPoint InFinestra(const QWidget* controllo, quint32 caso) const;
    QString Scegli(quint32 a, quint32 b, quint32 c);
    QString Tasto(quint32 a, quint32 b);
    QString ConIlMouse(quint32 a, quint32 b, quint32 c);
    QString Premi(quint32 a, quint32 b, quint32 c);
    QString Rilascia(quint32 a, quint32 b, quint32 c);
    void DisturbaLaScatola();
    void Lascia(Qt::MouseButton tasto, QPoint punto);
    void RilasciaTutto();

    quint32 m_seme;
    int m_eventi;

    std::unique_ptr<Form1> m_form;
    std::unique_ptr<RispostaImmediata> m_risposta;
    QWindow* m_finestra = nullptr;
    QButtonGroup* m_option1 = nullptr;
    QButtonGroup* m_option2 = nullptr;
    QPushButton* m_command1 = nullptr;
    QTimer* m_timer = nullptr;
    QWidget* m_frame3 = nullptr;
    QWidget* m_frame4 = nullptr;
    Figura* m_command3 = nullptr;
    Figura* m_image1 = nullptr;
    QLabel* m_lblLiquido = nullptr;
    QLabel* m_lblMateriale = nullptr;
    std::array<Figura*, Modello::Corpi> m_corpi {};
    QAction* m_mnprince = nullptr;
    QAction* m_mninfo = nullptr;
    QAction* m_mnexit = nullptr;

    Modello m_modello;
    QStringList m_scatoleAttese; // titles of the boxes the inputs of this step should show
    QStringList m_errori; // seen by the observers during this step
    Qt::MouseButtons m_tenuti; // the buttons the pupil holds down
    std::map<Qt::MouseButton, QPoint> m_puntoTenuto;
    // What reached each image-button: the buttons pressed on it and not yet released there,
    // and the button of its last event if that was a press with no other button held.
    std::map<const QObject*, Qt::MouseButtons> m_premutiSu;
    std::map<const QObject*, Qt::MouseButton> m_premutoDaSolo;
    std::map<const QObject*, bool> m_rilascioDopoPressione;
    std::map<const QObject*, int> m_tastoSu; // Space or Return pressed on it, not yet released
    QRandomGenerator m_disturbo; // what the pupil does while a box is open
    std::map<Tipo, int> m_conteggi;
    int m_disturbi = 0;
    int m_tick = 0; // delivered while the timer ran
    int m_scatole = 0;
    int m_corse = 0; // of the windows closed so far
    int m_verdetti = 0;
    int m_sceltePerse = 0;
    int m_tickAllaChiusura = 0; // real ticks of a window being replaced during a run
};

void tst_Scolaresca::init()
{
    m_risposta = std::make_unique<RispostaImmediata>();
    m_risposta->prima = [this] { DisturbaLaScatola(); };
    QCOMPARE(Apri(), QString());
    QCOMPARE(Verifica(), QString());
}

void tst_Scolaresca::cleanup()
{
    Chiudi();
    m_risposta.reset();
}

// A new window, as at start-up, and a model to match.
QString tst_Scolaresca::Apri()
{
    m_modello = Modello();
    m_form = std::make_unique<Form1>();
    m_form->show();
    m_form->activateWindow();
    if (!QTest::qWaitForWindowActive(m_form.get()))
        return QStringLiteral("the window did not become active");
    m_finestra = m_form->windowHandle();

    for (auto* gruppo : m_form->findChildren<QButtonGroup*>()) {
        const QString primo = gruppo->button(0)->objectName();
        (primo == QLatin1String("Option1_0") ? m_option1 : m_option2) = gruppo;
    }
    m_command1 = m_form->findChild<QPushButton*>(QStringLiteral("Command1"));
    m_timer = m_form->findChild<QTimer*>(QStringLiteral("tmrDiscesa"));
    m_frame3 = m_form->findChild<QWidget*>(QStringLiteral("Frame3"));
    m_frame4 = m_form->findChild<QWidget*>(QStringLiteral("Frame4"));
    m_command3 = m_form->findChild<Figura*>(QStringLiteral("Command3"));
    m_image1 = m_form->findChild<Figura*>(QStringLiteral("Image1"));
    m_lblLiquido = m_form->findChild<QLabel*>(QStringLiteral("lblPSLiquido"));
    m_lblMateriale = m_form->findChild<QLabel*>(QStringLiteral("lblPSMateriale"));
    for (int corpo = 0; corpo < Modello::Corpi; ++corpo)
        m_corpi.at(corpo) = m_form->findChild<Figura*>(QLatin1String(NomiCorpi.at(corpo)));
    m_mnprince = m_form->findChild<QAction*>(QStringLiteral("mnprince"));
    m_mninfo = m_form->findChild<QAction*>(QStringLiteral("mninfo"));
    m_mnexit = m_form->findChild<QAction*>(QStringLiteral("mnexit"));
    const bool tutti = m_option1 && m_option2 && m_command1 && m_timer && m_frame3 && m_frame4
        && m_command3 && m_image1 && m_lblLiquido && m_lblMateriale && m_mnprince && m_mninfo
        && m_mnexit && std::all_of(m_corpi.begin(), m_corpi.end(), [](Figura* f) { return f; });
    if (!tutti)
        return QStringLiteral("a control of the window is missing");
    Osserva();
    return {};
}

// The window lives until it is destroyed, and while a run goes on its timer ticks in real
// time whenever events are processed, those of the releases below included: the model follows
// it to the end. So that this is checked every time rather than when the clock happens to
// allow, a running timer is first let tick once more through the event loop.
void tst_Scolaresca::Chiudi()
{
    if (m_form && m_timer->isActive()) {
        QSignalSpy tick(m_timer, &QTimer::timeout);
        if (tick.wait(10000))
            ++m_tickAllaChiusura;
        else
            m_errori << QStringLiteral("the running timer of the window being closed never ticked");
    }
    RilasciaTutto();
    m_corse += m_modello.corse();
    m_verdetti += m_modello.verdetti();
    m_sceltePerse += m_modello.sceltePerse();
    m_modello = Modello();
    m_form.reset();
    m_premutiSu.clear();
    m_premutoDaSolo.clear();
    m_rilascioDopoPressione.clear();
    m_tastoSu.clear();
}

// The model follows the inputs that reached the window, observed at the controls (and after
// the window's own handlers, which were connected first), not the inputs the soak meant: a
// click eaten by an open menu changes nothing, in the window and in the model alike.
void tst_Scolaresca::Osserva()
{
    connect(m_option1, &QButtonGroup::idClicked, this, [this](int indice) {
        if (indice >= 0 && indice < 4)
            m_modello.ScegliLiquido(indice);
    });
    connect(m_option2, &QButtonGroup::idClicked, this, [this](int indice) {
        if (indice >= 0 && indice < 4)
            m_modello.ScegliMateriale(indice);
    });
    connect(m_command1, &QPushButton::clicked, this, [this] { m_modello.PremiOK(); });
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (!m_modello.inCorsa()) {
            m_errori << QStringLiteral("a tick came with no run going on");
            return;
        }
        const QString verdetto = QString::fromStdString(m_modello.Tick());
        if (!verdetto.isEmpty())
            m_scatoleAttese << verdetto;
    });
    connect(m_mnprince, &QAction::triggered, this, [this] { m_modello.ApriSpiegazione(); });
    connect(m_mninfo, &QAction::triggered, this, [this] { m_modello.ApriInformazioni(); });
    connect(m_mnexit, &QAction::triggered, this,
        [this] { m_scatoleAttese << QStringLiteral("Uscita"); });
    for (Figura* bottone : { m_command3, m_image1 }) {
        bottone->installEventFilter(this);
        connect(bottone, &Figura::clicked, this, [this, bottone] {
            if (!m_rilascioDopoPressione[bottone])
                m_errori << bottone->objectName()
                        + QStringLiteral(" clicked by a release whose press it never had");
            if (bottone == m_command3)
                m_modello.ChiudiSpiegazione();
            else
                m_modello.ChiudiInformazioni();
        });
    }
    m_form->installEventFilter(this);
}

bool tst_Scolaresca::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (oggetto == m_form.get()) {
        if (evento->type() == QEvent::Close)
            m_scatoleAttese << QStringLiteral("Uscita");
        if (evento->type() == QEvent::KeyPress)
            OsservaEsc(static_cast<QKeyEvent*>(evento));
        return false;
    }
    switch (evento->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        OsservaTasto(oggetto, static_cast<QKeyEvent*>(evento));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(evento);
        m_premutiSu[oggetto] |= mouse->button();
        m_premutoDaSolo[oggetto]
            = mouse->buttons() == mouse->button() ? mouse->button() : Qt::NoButton;
        break;
    }
    case QEvent::MouseButtonRelease: {
        const Qt::MouseButton tasto = static_cast<QMouseEvent*>(evento)->button();
        m_rilascioDopoPressione[oggetto] = m_premutiSu[oggetto].testFlag(tasto);
        m_premutiSu[oggetto].setFlag(tasto, false);
        m_premutoDaSolo[oggetto] = Qt::NoButton;
        break;
    }
    case QEvent::WindowBlocked: // a box took the mouse
        m_premutoDaSolo[oggetto] = Qt::NoButton;
        break;
    default:
        break;
    }
    return false;
}

// Escape that no control took closes the panel in front.
void tst_Scolaresca::OsservaEsc(const QKeyEvent* tasto)
{
    if (tasto->key() != Qt::Key_Escape || tasto->modifiers() != Qt::NoModifier)
        return;
    if (m_modello.informazioni())
        m_modello.ChiudiInformazioni();
    else if (m_modello.spiegazione())
        m_modello.ChiudiSpiegazione();
}

// Space or Return on an arrow is a press, and its release there a click, as with the mouse.
void tst_Scolaresca::OsservaTasto(const QObject* freccia, const QKeyEvent* tasto)
{
    const int chiave = tasto->key();
    const bool preme
        = chiave == Qt::Key_Space || chiave == Qt::Key_Return || chiave == Qt::Key_Enter;
    if (!preme || tasto->isAutoRepeat())
        return;
    if (tasto->type() == QEvent::KeyPress) {
        if (!m_tastoSu[freccia] && !(tasto->modifiers() & ~Qt::KeypadModifier))
            m_tastoSu[freccia] = chiave;
        return;
    }
    if (m_tastoSu[freccia] == chiave) {
        m_rilascioDopoPressione[freccia] = true;
        m_tastoSu[freccia] = 0;
    }
}

tst_Scolaresca::Evento tst_Scolaresca::Estrai(QRandomGenerator& caso) const
{
    int totale = 0;
    for (const Peso& peso : Pesi)
        totale += peso.peso;
    // Always four numbers, so that the series of inputs never depends on the window's state.
    int scelta = int(caso.bounded(quint32(totale)));
    const quint32 a = caso.generate();
    const quint32 b = caso.generate();
    const quint32 c = caso.generate();
    for (const Peso& peso : Pesi) {
        if (scelta < peso.peso)
            return { peso.tipo, a, b, c };
        scelta -= peso.peso;
    }
    return { Tipo::Tick, a, b, c };
}

QString tst_Scolaresca::Clic(QWindow* finestra, Qt::MouseButton tasto, QPoint punto)
{
    const QString descrizione = NomeTasto(tasto) + QStringLiteral(" click at ") + Punto(punto);
    if (m_tenuti.testFlag(tasto))
        return descrizione + QStringLiteral(" (held already: none)");
    QTest::mouseClick(finestra, tasto, Qt::NoModifier, punto);
    return descrizione;
}

QPoint tst_Scolaresca::InFinestra(const QWidget* controllo, quint32 caso) const
{
    return controllo->mapTo(m_form.get(), PuntoIn(controllo->rect(), caso));
}

QString tst_Scolaresca::Scegli(quint32 a, quint32 b, quint32 c)
{
    QButtonGroup* gruppo = (a & 1) ? m_option2 : m_option1;
    QAbstractButton* opzione = gruppo->button(int((a >> 1) % 4));
    return opzione->objectName() + QLatin1Char(' ')
        + Clic(m_finestra, TastoMouse(b), InFinestra(opzione, c));
}

QString tst_Scolaresca::Tasto(quint32 a, quint32 b)
{
    if (a % 5 == 0) {
        // The pupil puts the focus somewhere first, as a click would.
        QList<QWidget*> fuochi { m_command1 };
        for (QAbstractButton* opzione : m_option1->buttons() + m_option2->buttons())
            fuochi << opzione;
        fuochi.at(int((a / 5) % quint32(fuochi.size())))->setFocus(Qt::MouseFocusReason);
    }
    if (QGuiApplication::focusWindow() != m_finestra && !QApplication::activePopupWidget())
        m_form->activateWindow();
    const Qt::Key tasto = TastiTastiera.at(b % TastiTastiera.size());
    const Qt::KeyboardModifiers modificatori
        = (b >> 8) % 6 == 0 ? Qt::ShiftModifier : Qt::NoModifier;
    QTest::keyClick(m_finestra, tasto, modificatori);
    QWidget* fuoco = QApplication::focusWidget();
    return QStringLiteral("key %1%2 with the focus on %3")
        .arg(modificatori ? QStringLiteral("shift+") : QString())
        .arg(QKeySequence(tasto).toString())
        .arg(fuoco ? fuoco->objectName() : QStringLiteral("nothing"));
}

QString tst_Scolaresca::ConIlMouse(quint32 a, quint32 b, quint32 c)
{
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        const QList<QAction*> voci = menu->actions();
        QAction* voce = voci.at(int(b % quint32(voci.size())));
        const QPoint punto = PuntoIn(menu->actionGeometry(voce), c);
        return QStringLiteral("on the open menu's \"%1\": ").arg(voce->text())
            + Clic(menu->windowHandle(), TastoMouse(a), punto);
    }
    QMenuBar* barra = m_form->menuBar();
    QAction* voce = barra->actions().at(int(b % 2));
    const QPoint punto = barra->mapTo(m_form.get(), PuntoIn(barra->actionGeometry(voce), c));
    return QStringLiteral("on the menu bar's \"%1\": ").arg(voce->text())
        + Clic(m_finestra, TastoMouse(a), punto);
}

QString tst_Scolaresca::Premi(quint32 a, quint32 b, quint32 c)
{
    Figura* bottone = (a & 1) ? m_image1 : m_command3;
    const Qt::MouseButton tasto = TastiMouse.at(b % TastiMouse.size());
    const QPoint punto = InFinestra(bottone, c);
    const QString descrizione = NomeTasto(tasto) + QStringLiteral(" press on ")
        + bottone->objectName() + QStringLiteral(" at ") + Punto(punto);
    if (m_tenuti.testFlag(tasto))
        return descrizione + QStringLiteral(" (held already: none)");
    QTest::mousePress(m_finestra, tasto, Qt::NoModifier, punto);
    m_tenuti |= tasto;
    m_puntoTenuto[tasto] = punto;
    return descrizione;
}

QString tst_Scolaresca::Rilascia(quint32 a, quint32 b, quint32 c)
{
    QList<Qt::MouseButton> tenuti;
    for (Qt::MouseButton tasto : TastiMouse)
        if (m_tenuti.testFlag(tasto))
            tenuti << tasto;
    if (tenuti.isEmpty())
        return QStringLiteral("release with no button held: none");
    const Qt::MouseButton tasto = tenuti.at(int(a % quint32(tenuti.size())));
    // Mostly where it was pressed; sometimes after dragging it anywhere.
    const QPoint punto = b % 3 == 0 ? PuntoIn(m_form->rect(), c) : m_puntoTenuto[tasto];
    Lascia(tasto, punto);
    return NomeTasto(tasto) + QStringLiteral(" release at ") + Punto(punto);
}

void tst_Scolaresca::Lascia(Qt::MouseButton tasto, QPoint punto)
{
    QTest::mouseRelease(m_finestra, tasto, Qt::NoModifier, punto);
    m_tenuti.setFlag(tasto, false);
    // Wherever the release went, that press is over.
    for (auto& [bottone, premuto] : m_premutoDaSolo)
        if (premuto == tasto)
            premuto = Qt::NoButton;
}

void tst_Scolaresca::RilasciaTutto()
{
    for (Qt::MouseButton tasto : TastiMouse)
        if (m_tenuti.testFlag(tasto)) {
            Lascia(tasto, m_puntoTenuto[tasto]);
        }
}

// Now and then the pupil goes on with the mouse while a box is open: lets go of what it held,
// presses again, hits the space bar. The box keeps all of it from the window.
void tst_Scolaresca::DisturbaLaScatola()
{
    ++m_scatole;
    const quint32 caso = m_disturbo.generate();
    if (caso % 4 != 0)
        return;
    ++m_disturbi;
    RilasciaTutto();
    if (caso % 8 == 0) {
        const QPoint punto = PuntoIn(m_form->rect(), m_disturbo.generate());
        QTest::mousePress(m_finestra, Qt::LeftButton, Qt::NoModifier, punto);
        m_tenuti |= Qt::LeftButton;
        m_puntoTenuto[Qt::LeftButton] = punto;
    }
    if (caso % 16 == 4)
        QTest::keyClick(m_finestra, Qt::Key_Space);
}

QString tst_Scolaresca::Esegui(const Evento& evento)
{
    ++m_conteggi[evento.tipo];
    const quint32 a = evento.a, b = evento.b, c = evento.c;
    switch (evento.tipo) {
    case Tipo::Opzione:
        return Scegli(a, b, c);
    case Tipo::IndiceQualsiasi: {
        QButtonGroup* gruppo = (a & 1) ? m_option2 : m_option1;
        const int indice = b % 3 == 0 ? int(c) : IndiciStrani.at(c % IndiciStrani.size());
        emit gruppo->idClicked(indice);
        return QStringLiteral("%1 clicked with index %2")
            .arg(gruppo == m_option1 ? "Option1" : "Option2")
            .arg(indice);
    }
    case Tipo::Tastiera:
        return Tasto(a, b);
    case Tipo::Ok:
        return QStringLiteral("OK: ") + Clic(m_finestra, TastoMouse(b), InFinestra(m_command1, c));
    case Tipo::Tick:
        if (!m_timer->isActive())
            return QStringLiteral("tick: the timer is stopped, none");
        {
            QTimerEvent scatto(m_timer->timerId());
            QCoreApplication::sendEvent(m_timer, &scatto);
            ++m_tick;
        }
        return QStringLiteral("tick");
    case Tipo::Attesa: {
        const int ms = 1 + int(a % 40);
        QTest::qWait(ms);
        return QStringLiteral("real wait of %1 ms").arg(ms);
    }
    case Tipo::Comando: {
        QAction* comando = a % 7 < 3 ? m_mnprince : a % 7 < 6 ? m_mninfo : m_mnexit;
        comando->trigger();
        return QStringLiteral("menu command ") + comando->objectName();
    }
    case Tipo::Menu:
        return ConIlMouse(a, b, c);
    case Tipo::Premi:
        return Premi(a, b, c);
    case Tipo::Rilascia:
        return Rilascia(a, b, c);
    case Tipo::ClicQualsiasi:
        return QStringLiteral("anywhere: ")
            + Clic(m_finestra, TastoMouse(b), PuntoIn(m_form->rect(), c));
    case Tipo::Chiusura:
        return QStringLiteral("close request: ")
            + (m_form->close() ? QStringLiteral("closed") : QStringLiteral("refused"));
    case Tipo::Raffica:
        // A pupil hammering the options, far past what a byte counts.
        for (int scelta = 0; scelta < SceltePerRaffica; ++scelta) {
            QAbstractButton* opzione = (scelta + a) % 2 ? m_option2->button(int((b + scelta) % 4))
                                                        : m_option1->button(int((c + scelta) % 4));
            opzione->click();
        }
        return QStringLiteral("%1 option clicks in a row").arg(SceltePerRaffica);
    case Tipo::NuovaFinestra: {
        // The next pupil starts from the program's first state, where no liquid or material
        // has been chosen yet and "OK" waits for both.
        Chiudi();
        const QString errore = Apri();
        if (!errore.isEmpty())
            m_errori << errore;
        return QStringLiteral("a new window");
    }
    }
    return {};
}

QString tst_Scolaresca::Verifica()
{
    QStringList errori;
    errori.swap(m_errori);

    QStringList viste = m_risposta->titoli;
    m_risposta->titoli.clear();
    QStringList attese = m_scatoleAttese;
    m_scatoleAttese.clear();
    viste.sort();
    attese.sort();
    if (viste != attese)
        errori << QStringLiteral("boxes shown: [%1], expected: [%2]")
                      .arg(viste.join(QStringLiteral(", ")), attese.join(QStringLiteral(", ")));

    if (!m_form->isVisible())
        errori << QStringLiteral("the window is gone");
    if (QApplication::activeModalWidget())
        errori << QStringLiteral("a box is still open");

    const StatoEsperimento& stato = m_form->esperimento().Stato();
    if (m_timer->isActive() != m_modello.inCorsa())
        errori << QStringLiteral("the timer is %1 with %2 run going on")
                      .arg(m_timer->isActive() ? "running" : "stopped")
                      .arg(m_modello.inCorsa() ? "a" : "no");
    if (m_timer->isActive() && !stato.imgCorpo)
        errori << QStringLiteral("the timer runs with no body to move");
    if (m_command1->isEnabled() != m_modello.okAbilitato())
        errori << QStringLiteral("OK is %1, expected %2")
                      .arg(m_command1->isEnabled() ? "enabled" : "disabled")
                      .arg(m_modello.okAbilitato() ? "enabled" : "disabled");
    if (stato.NumScelte != m_modello.scelte())
        errori << QStringLiteral("%1 choices counted, expected %2")
                      .arg(stato.NumScelte)
                      .arg(m_modello.scelte());

    const int materiale = m_modello.materiale();
    if (stato.imgCorpo.has_value() != (materiale >= 0)
        || (materiale >= 0 && *stato.imgCorpo != ImmaginiCorpi.at(materiale)))
        errori << QStringLiteral("imgCorpo is not the body of the material chosen last");
    int visibili = 0;
    for (int corpo = 0; corpo < Modello::Corpi; ++corpo) {
        const Figura* figura = m_corpi.at(corpo);
        const QString nome = figura->objectName();
        const bool atteso = m_modello.corpoVisibile() && corpo == materiale;
        visibili += figura->isVisible();
        if (figura->isVisible() != atteso)
            errori << nome + (atteso ? QStringLiteral(" is hidden") : QStringLiteral(" shows"));
        if (figura->x() != LeftCorpi)
            errori << nome + QStringLiteral(" moved sideways to x=%1").arg(figura->x());
        const float top = m_form->esperimento().Top(ImmaginiCorpi.at(corpo));
        if (top < Modello::TopIniziale || top > TopMassimo)
            errori << nome + QStringLiteral(" stands at %1 twips, off the tank").arg(top);
        if (top != m_modello.top(corpo))
            errori << nome
                    + QStringLiteral(" stands at %1 twips, expected %2")
                          .arg(top)
                          .arg(m_modello.top(corpo));
        if (figura->y() != int(std::lround(top / 15.0)))
            errori << nome
                    + QStringLiteral(" is drawn at y=%1 for %2 twips").arg(figura->y()).arg(top);
    }
    if (visibili > 1)
        errori << QStringLiteral("%1 bodies show at once").arg(visibili);

    if (m_frame3->isVisible() != m_modello.spiegazione())
        errori << QStringLiteral("the explanation panel changed by itself");
    if (m_frame4->isVisible() != m_modello.informazioni())
        errori << QStringLiteral("the information panel changed by itself");

    for (const Figura* bottone : { m_command3, m_image1 }) {
        const bool bordo = bottone->borderStyle() == 1;
        const Qt::MouseButton premuto = m_premutoDaSolo[bottone];
        if (premuto != Qt::NoButton && m_tenuti.testFlag(premuto) && !bordo)
            errori << bottone->objectName() + QStringLiteral(" shows no border while pressed");
        if (bordo && !(m_premutiSu[bottone] & m_tenuti))
            errori << bottone->objectName()
                    + QStringLiteral(" keeps its pressed look with no button held on it");
    }

    const std::string separatore = QLocale().decimalPoint().toStdString();
    if (m_lblLiquido->text() != QString::fromStdString(m_modello.testoLiquido(separatore)))
        errori << QStringLiteral("the liquid's label reads \"%1\"").arg(m_lblLiquido->text());
    if (m_lblMateriale->text() != QString::fromStdString(m_modello.testoMateriale(separatore)))
        errori << QStringLiteral("the material's label reads \"%1\"").arg(m_lblMateriale->text());

    return errori.join(QStringLiteral("; "));
}

// A pupil walks away in the middle of a sinking run, holding the mouse down, and the next
// one starts afresh: the old window's last ticks belong to the old run, not to the new window.
void tst_Scolaresca::nuovaFinestraDuranteUnaCorsa()
{
    m_option1->button(0)->click();
    m_option2->button(1)->click();
    m_command1->click();
    QVERIFY(m_timer->isActive());
    Premi(0, 0, 0);
    QCOMPARE(Verifica(), QString());
    const int prima = m_tickAllaChiusura;
    QCOMPARE(Esegui({ Tipo::NuovaFinestra, 0, 0, 0 }), QStringLiteral("a new window"));
    QCOMPARE(m_tickAllaChiusura, prima + 1);
    QCOMPARE(Verifica(), QString());
    QVERIFY(!m_timer->isActive());
}

void tst_Scolaresca::unaClasseIntera()
{
    QRandomGenerator caso(m_seme);
    m_disturbo.seed(m_seme ^ 0x9e3779b9u);
    std::deque<QString> storia;
    QElapsedTimer cronometro;
    cronometro.start();
    for (int numero = 1; numero <= m_eventi; ++numero) {
        const QString fatto = Esegui(Estrai(caso));
        // What the event loop would do before the next input: the calls that were queued.
        QCoreApplication::sendPostedEvents();
        storia.push_back(QStringLiteral("  #%1 %2").arg(numero).arg(fatto));
        if (storia.size() > Ricordati)
            storia.pop_front();
        const QString errore = Verifica();
        if (errore.isEmpty())
            continue;
        qInfo("The last inputs:");
        for (const QString& riga : storia)
            qInfo("%s", qPrintable(riga));
        QFAIL(qPrintable(QStringLiteral("seed %1, input %2: %3\nreplay: %4 --seme %1 --eventi %2")
                             .arg(m_seme)
                             .arg(numero)
                             .arg(errore, QCoreApplication::applicationFilePath())));
    }
    RilasciaTutto();
    QCOMPARE(Verifica(), QString());
    const int corse = m_corse + m_modello.corse();
    const int verdetti = m_verdetti + m_modello.verdetti();
    const int sceltePerse = m_sceltePerse + m_modello.sceltePerse();

    qInfo("seed %u: %d inputs in %lld ms; %d runs, %d verdicts, %d boxes (%d with the pupil "
          "clicking on), %d choices past the count's top",
        m_seme, m_eventi, cronometro.elapsed(), corse, verdetti, m_scatole, m_disturbi,
        sceltePerse);
    QStringList conteggi;
    for (const Peso& peso : Pesi)
        conteggi << QStringLiteral("%1 %2").arg(m_conteggi[peso.tipo]).arg(peso.nome);
    qInfo("inputs: %s; %d ticks reached a running timer, %d more came as a window was "
          "replaced mid-run",
        qPrintable(conteggi.join(QStringLiteral(", "))), m_tick, m_tickAllaChiusura);
    // A soak that never got anywhere proves nothing.
    if (m_eventi >= 1000) {
        QVERIFY(verdetti > 0);
        QVERIFY(sceltePerse > 0);
    }
}

int main(int argc, char* argv[])
{
    UsaIlServerDelRumore();
    QApplication app(argc, argv);
    ImpostaAspetto();
    quint32 seme = qEnvironmentVariable("IDROVELA_SEME", QString::number(SemePredefinito)).toUInt();
    int eventi
        = qEnvironmentVariable("IDROVELA_EVENTI", QString::number(EventiPredefiniti)).toInt();
    QStringList argomenti = app.arguments();
    for (int i = 1; i + 1 < argomenti.size();) {
        if (argomenti.at(i) == QLatin1String("--seme"))
            seme = argomenti.at(i + 1).toUInt();
        else if (argomenti.at(i) == QLatin1String("--eventi"))
            eventi = argomenti.at(i + 1).toInt();
        else {
            ++i;
            continue;
        }
        argomenti.remove(i, 2);
    }
    tst_Scolaresca test(seme, eventi);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argomenti);
}

#include "tst_Scolaresca.moc"
