// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include "Accessibilita.h"
#include "Aspetto.h"
#include "Avviso.h"
#include "Catalogo.h"
#include "ContenitoreAccessibile.h"
#include "Disposizione.h"
#include "Figura.h"
#include "Lettura.h"
#include "Linea.h"
#include "Module1.h"
#include "Riquadro.h"
#include "Risorse.h"
#include "Tavolozza.h"
#include "Twips.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <vector>

using Disposizione::Carattere;
using Disposizione::Colore;
using Disposizione::Riga;
using Disposizione::Tipo;

namespace {

QString Nome(const Riga& riga)
{
    const QString nome = QString::fromLatin1(riga.nome);
    return riga.indice < 0 ? nome : QStringLiteral("%1_%2").arg(nome).arg(riga.indice);
}

QFont Font(Carattere carattere)
{
    if (carattere == Carattere::Predefinito)
        return QApplication::font();
    QFont font;
    font.setFamily(FamigliaArial());
    font.setPointSizeF(carattere == Carattere::Titolo ? 12.0 : 14.25);
    font.setBold(carattere == Carattere::Titolo);
    return font;
}

QColor Rgb(Colore colore, QColor sistema)
{
    return colore.Sistema() ? sistema : QColor(colore.r, colore.g, colore.b);
}

void Colora(QWidget* widget, QPalette::ColorRole ruolo, QColor colore)
{
    QPalette palette = widget->palette();
    palette.setColor(ruolo, colore);
    widget->setPalette(palette);
}

// Message boxes speak with words alone; some desktops would add pictures to their buttons.
void SenzaIcone(QMessageBox& box)
{
    for (QAbstractButton* bottone : box.buttons())
        bottone->setIcon(QIcon());
}

} // namespace

Form1::Form1(QWidget* parent)
    : QMainWindow(parent)
    , m_esperimento(*this, QLocale().decimalPoint().toStdString())
    , m_finestra(*this)
    , tmrDiscesa(this)
{
    // A fixed border: the window can be minimised and closed, never resized or maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Idrovela"));
    setWindowIcon(QIcon(QPixmap::fromImage(Risorse::Immagine(Risorse::Disegno::Busto))));
    InstallaAccessibilita();
    CreaMenu();
    CreaControlli();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    tmrDiscesa.setObjectName(QStringLiteral("tmrDiscesa"));
    tmrDiscesa.setTimerType(Qt::PreciseTimer);
    tmrDiscesa.setInterval(Discesa::IntervalloMs);
    connect(&tmrDiscesa, &QTimer::timeout, this, &Form1::tmrDiscesa_Timer);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* prima, QWidget* ora) {
        if (ora && centralWidget()->isAncestorOf(ora))
            m_ultimoFuoco = ora;
        m_fuocoNuovo = ora; // until the event that moved it is over
        QMetaObject::invokeMethod(
            this, [this] { m_fuocoNuovo = nullptr; }, Qt::QueuedConnection);
        if (prima && prima == m_avvisoOk)
            DescriviScelte(); // "OK" was announced once, with the choice, and is news no more
    });

    Form_Load();
}

Form1::~Form1()
{
    // The controls go after the members: the focus changes they cause are none of ours.
    disconnect(qApp, nullptr, this, nullptr);
}

void Form1::CreaMenu()
{
    QMenu* mnfile = menuBar()->addMenu(QStringLiteral("File"));
    mnfile->setObjectName(QStringLiteral("mnfile"));
    QAction* mnprince = mnfile->addAction(QStringLiteral("Idrovela"));
    mnprince->setObjectName(QStringLiteral("mnprince"));
    mnfile->addSeparator()->setObjectName(QStringLiteral("mnx"));
    QAction* mnexit = mnfile->addAction(QStringLiteral("Esci"));
    mnexit->setObjectName(QStringLiteral("mnexit"));
    QAction* mninfo = menuBar()->addAction(QStringLiteral("?"));
    mninfo->setObjectName(QStringLiteral("mninfo"));

    connect(mnprince, &QAction::triggered, this, &Form1::mnprince_Click);
    connect(mnexit, &QAction::triggered, this, &Form1::mnexit_Click);
    connect(mninfo, &QAction::triggered, this, &Form1::mninfo_Click);
}

void Form1::CreaControlli()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Form1"));
    client->setFixedSize(
        Twips::Px(Geometria::LarghezzaClient), Twips::Px(Geometria::AltezzaClient));
    client->setAutoFillBackground(true);
    Colora(client, QPalette::Window, Rgb(Geometria::SfondoForm, {}));
    setCentralWidget(client);
    client->setProperty(ContenitoreAccessibile::Ordinato, true);

    Option1 = new QButtonGroup(this);
    Option2 = new QButtonGroup(this);
    for (const Riga& riga : Disposizione::Controlli) {
        QWidget* contenitore = riga.contenitore
            ? client->findChild<QWidget*>(QString::fromLatin1(riga.contenitore))
            : client;
        QWidget* controllo = CreaControllo(riga, contenitore);
        controllo->setObjectName(Nome(riga));
        controllo->setFont(Font(riga.carattere));
        controllo->setEnabled(riga.abilitato);
        if (!riga.visibile)
            controllo->hide();
    }

    Frame1 = client->findChild<Riquadro*>(QStringLiteral("Frame1"));
    Frame2 = client->findChild<Riquadro*>(QStringLiteral("Frame2"));
    Frame3 = client->findChild<Riquadro*>(QStringLiteral("Frame3"));
    Frame4 = client->findChild<Riquadro*>(QStringLiteral("Frame4"));
    m_avviso = new Avviso(client);
    Frame3->setProperty(ContenitoreAccessibile::Foglio, true);
    Frame4->setProperty(ContenitoreAccessibile::Foglio, true);
    Command1 = client->findChild<QPushButton*>(QStringLiteral("Command1"));
    lblPSLiquido = client->findChild<QLabel*>(QStringLiteral("lblPSLiquido"));
    lblPSMateriale = client->findChild<QLabel*>(QStringLiteral("lblPSMateriale"));
    const auto figura
        = [client](const char* nome) { return client->findChild<Figura*>(QLatin1String(nome)); };
    imgContenitore = figura("imgContenitore");
    imgLiquido = figura("imgLiquido");
    imgMateriale = figura("imgMateriale");
    imgGhiaccio = figura("imgGhiaccio");
    imgFerro = figura("imgFerro");
    imgRame = figura("imgRame");
    imgLegno = figura("imgLegno");
    Command3 = figura("Command3");
    Image1 = figura("Image1");

    ImpostaImmagini();
    CollegaEventi();
    ApplicaImpilamento();
    ApplicaOrdineTab();
    DaiNomiAccessibili();
    DaiOrdineDiLettura();
    new Tavolozza(client);
}

QWidget* Form1::CreaControllo(const Riga& riga, QWidget* contenitore)
{
    const QString testo = QString::fromUtf8(riga.testo);
    const QRect geometria = Twips::Rettangolo(riga.left, riga.top, riga.width, riga.height);
    QWidget* controllo = nullptr;
    switch (riga.tipo) {
    case Tipo::Frame: {
        auto* frame = new Riquadro(testo, contenitore);
        const QPalette sistema = QApplication::palette();
        Colora(frame, QPalette::Window, Rgb(riga.sfondo, sistema.color(QPalette::Button)));
        Colora(frame, QPalette::WindowText,
            Rgb(riga.testoOLinea, sistema.color(QPalette::ButtonText)));
        controllo = frame;
        break;
    }
    case Tipo::OptionButton: {
        auto* option = new QRadioButton(testo, contenitore);
        (QLatin1String(riga.nome) == QLatin1String("Option1") ? Option1 : Option2)
            ->addButton(option, riga.indice);
        controllo = option;
        break;
    }
    case Tipo::CommandButton: {
        auto* button = new QPushButton(testo, contenitore);
        button->setAutoDefault(true); // Enter presses it, as Space does
        controllo = button;
        break;
    }
    case Tipo::Label: {
        auto* label = new QLabel(testo, contenitore);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (!riga.testoOLinea.Sistema())
            Colora(label, QPalette::WindowText, Rgb(riga.testoOLinea, {}));
        controllo = label;
        break;
    }
    case Tipo::Picture: {
        controllo = new Figura(contenitore);
        break;
    }
    case Tipo::Line:
        return new Linea(QPoint(Twips::Px(riga.left), Twips::Px(riga.top)),
            QPoint(Twips::Px(riga.width), Twips::Px(riga.height)), riga.spessore,
            Rgb(riga.testoOLinea, QApplication::palette().color(QPalette::WindowText)),
            contenitore);
    }
    controllo->setGeometry(geometria);
    return controllo;
}

void Form1::ImpostaImmagini()
{
    using Risorse::Disegno;
    CaricaBitmap(Immagine::imgContenitore, Catalogo::Liquidi[0].bitmapContenitore);
    // The bodies and the panels' arrows are hidden at start-up: each is decoded when it first
    // shows, off the way to the first frame.
    const auto disegno
        = [](Disegno d) { return [d](qreal rapporto) { return Risorse::Immagine(d, rapporto); }; };
    imgGhiaccio->setPictureDifferita(disegno(Disegno::CorpoGhiaccio));
    imgFerro->setPictureDifferita(disegno(Disegno::CorpoFerro));
    imgRame->setPictureDifferita(disegno(Disegno::CorpoRame));
    imgLegno->setPictureDifferita(disegno(Disegno::CorpoLegno));
    for (Figura* bottone : { Command3, Image1 }) {
        bottone->setBottone(true);
        bottone->setPictureDifferita(disegno(Disegno::FrecciaIndietro));
        bottone->setToolTip(QString::fromUtf8(Lettura::NomeFreccia));
    }
}

void Form1::CollegaEventi()
{
    connect(Option1, &QButtonGroup::idClicked, this, &Form1::Option1_Click);
    connect(Option2, &QButtonGroup::idClicked, this, &Form1::Option2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    for (Figura* bottone : { Command3, Image1 }) {
        // Any mouse button shows the pressed look while it is held.
        connect(bottone, &Figura::mouseDown, bottone, [bottone] { bottone->setBorderStyle(1); });
        connect(bottone, &Figura::mouseUp, bottone,
            [bottone] { bottone->setBorderStyle(bottone->premutoDalTasto() ? 1 : 0); });
        // Space and Return give the same look while the key is held; whichever of the key and
        // the mouse lets go first leaves it to the other.
        connect(bottone, &Figura::keyDown, bottone, [bottone] { bottone->setBorderStyle(1); });
        connect(bottone, &Figura::keyUp, bottone,
            [bottone] { bottone->setBorderStyle(bottone->premutoDalMouse() ? 1 : 0); });
    }
    connect(Command3, &Figura::clicked, this, &Form1::Command3_Click);
    connect(Image1, &Figura::clicked, this, &Form1::Image1_Click);
}

void Form1::ApplicaImpilamento()
{
    // The table lists each container's controls frontmost first: raise them back to front.
    for (auto riga = Disposizione::Controlli.rbegin(); riga != Disposizione::Controlli.rend();
         ++riga)
        centralWidget()->findChild<QWidget*>(Nome(*riga))->raise();
}

void Form1::ApplicaOrdineTab()
{
    std::vector<const Riga*> righe;
    for (const Riga& riga : Disposizione::Controlli)
        if (riga.tabIndex >= 0)
            righe.push_back(&riga);
    std::sort(righe.begin(), righe.end(),
        [](const Riga* a, const Riga* b) { return a->tabIndex < b->tabIndex; });
    QWidget* prima = nullptr;
    for (const Riga* riga : righe) {
        QWidget* controllo = centralWidget()->findChild<QWidget*>(Nome(*riga));
        if (controllo->focusPolicy() == Qt::NoFocus)
            continue; // labels and frames hold a place in the order but take no focus
        if (prima)
            setTabOrder(prima, controllo);
        else
            controllo->setFocus(); // the window opens with the focus on the first of them
        prima = controllo;
    }
}

void Form1::DaiNomiAccessibili()
{
    for (Immagine corpo :
        { Immagine::imgGhiaccio, Immagine::imgFerro, Immagine::imgRame, Immagine::imgLegno })
        Picture(corpo)->setAccessibleName(QString::fromStdString(Lettura::NomeCorpo(corpo)));
    // An open panel takes the focus on its arrow, which a screen reader reads with its
    // description: the panel's text, which it would not read of itself.
    for (const auto& [pannello, riquadro, freccia] :
        { std::tuple { Pannello::Frame3, Frame3, Command3 },
            std::tuple { Pannello::Frame4, Frame4, Image1 } }) {
        riquadro->setAccessibleName(QString::fromUtf8(Lettura::NomePannello(pannello)));
        freccia->setAccessibleName(QString::fromUtf8(Lettura::NomeFreccia));
        freccia->setAccessibleDescription(QString::fromStdString(Lettura::TestoPannello(pannello)));
    }
    centralWidget()->setAccessibleName(QString::fromUtf8(Lettura::NomeEsperimento));
    // An empty density text still says what it will show.
    lblPSLiquido->setAccessibleName(QString::fromUtf8(Lettura::NomeDensitaLiquido));
    lblPSMateriale->setAccessibleName(QString::fromUtf8(Lettura::NomeDensitaMateriale));
    AggiornaNomiAccessibili();
}

// A screen reader reads each container in this order: the tank and its bodies, the choices
// from the top down, "OK", the samples each with its density, then the panels, each from its
// text down to its arrow. The lines of the information panel are drawing only and are left out.
void Form1::DaiOrdineDiLettura()
{
    static const char* const ordine[] = { "imgContenitore", "imgGhiaccio", "imgFerro", "imgRame",
        "imgLegno", "Frame1", "Option1_0", "Option1_1", "Option1_2", "Option1_3", "Frame2",
        "Option2_0", "Option2_1", "Option2_2", "Option2_3", "Command1", "imgLiquido",
        "lblPSLiquido", "imgMateriale", "lblPSMateriale", "Frame3", "Label1", "Command3", "Frame4",
        "Label3", "Label2", "Image1" };
    int posto = 0;
    for (const char* nome : ordine)
        centralWidget()
            ->findChild<QWidget*>(QLatin1String(nome))
            ->setProperty(ContenitoreAccessibile::Ordine, posto++);
}

// The names that follow the choices.
void Form1::AggiornaNomiAccessibili()
{
    imgContenitore->setAccessibleName(
        QString::fromStdString(Lettura::NomeVasca(m_esperimento.Stato())));
    imgLiquido->setAccessibleName(QString::fromStdString(
        Lettura::NomeCampione(m_esperimento.Stato(), Etichetta::lblPSLiquido)));
    imgMateriale->setAccessibleName(QString::fromStdString(
        Lettura::NomeCampione(m_esperimento.Stato(), Etichetta::lblPSMateriale)));
}

// A screen reader speaks the focused option's description after its state: the chosen option
// of each group is described by its density, as its label shows it, and once by "OK" too when
// this choice made it available. The others have none.
void Form1::DescriviScelte()
{
    for (const auto& [gruppo, densita] : { std::pair { Option1, Etichetta::lblPSLiquido },
             std::pair { Option2, Etichetta::lblPSMateriale } })
        for (QAbstractButton* opzione : gruppo->buttons()) {
            QString descrizione;
            if (opzione->isChecked()) {
                descrizione
                    = QString::fromStdString(Lettura::DescrizioneScelta(m_esperimento, densita));
                if (opzione == m_avvisoOk && opzione->hasFocus())
                    descrizione += QStringLiteral(", ") + QString::fromUtf8(Lettura::OkDisponibile);
            }
            opzione->setAccessibleDescription(descrizione);
        }
    if (m_avvisoOk && !m_avvisoOk->hasFocus())
        m_avvisoOk = nullptr;
}

Figura* Form1::Picture(Immagine img) const
{
    switch (img) {
    case Immagine::imgGhiaccio:
        return imgGhiaccio;
    case Immagine::imgFerro:
        return imgFerro;
    case Immagine::imgRame:
        return imgRame;
    case Immagine::imgLegno:
        return imgLegno;
    case Immagine::imgLiquido:
        return imgLiquido;
    case Immagine::imgMateriale:
        return imgMateriale;
    case Immagine::imgContenitore:
        return imgContenitore;
    }
    return imgContenitore;
}

void Form1::ImpostaVisibile(Immagine img, bool visibile)
{
    const QList<QWidget*> prima = ContenitoreAccessibile::FigliDi(centralWidget());
    Picture(img)->setVisible(visibile);
    ContenitoreAccessibile::Annuncia(centralWidget(), prima);
}

void Form1::ImpostaTop(Immagine img, float top)
{
    Figura* figura = Picture(img);
    figura->move(figura->x(), Twips::Px(top));
}

void Form1::CaricaBitmap(Immagine img, int id)
{
    Picture(img)->setPictureAScala([id](qreal rapporto) { return Risorse::Bitmap(id, rapporto); });
}

void Form1::ImpostaCaption(Etichetta lbl, const std::string& testo)
{
    QLabel* label = lbl == Etichetta::lblPSLiquido ? lblPSLiquido : lblPSMateriale;
    label->setText(QString::fromStdString(testo));
    if (!testo.empty())
        label->setAccessibleName(QString()); // the text speaks for itself
}

void Form1::AbilitaCommand1(bool abilitato)
{
    if (abilitato == Command1->isEnabled())
        return;
    if (!abilitato && Command1->hasFocus()) {
        // A run starts. The focus waits on the tank, where the run happens, and says so,
        // instead of falling to the first choice, which a screen reader would read again.
        imgContenitore->setAccessibleDescription(QString::fromUtf8(Lettura::CorsaAvviata));
        imgContenitore->setFocus(Qt::OtherFocusReason);
    }
    Command1->setEnabled(abilitato);
    if (abilitato && focusWidget() == imgContenitore) // the run is over: Space repeats it
        Command1->setFocus(Qt::OtherFocusReason);
}

void Form1::AbilitaTimer(bool abilitato)
{
    if (!abilitato)
        tmrDiscesa.stop();
    else if (!tmrDiscesa.isActive())
        tmrDiscesa.start();
}

void Form1::Beep()
{
    QApplication::beep();
}

void Form1::MsgBox(const std::string& testo, const std::string& titolo)
{
    // The window shows what the message speaks of before the box is built: its pending
    // repaint would otherwise wait for the box, and a sinking body's last step come late.
    QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
    imgContenitore->setAccessibleDescription(QString()); // the run is over
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(titolo),
        QString::fromStdString(testo), QMessageBox::Ok, this);
    SenzaIcone(box);
    box.exec();
}

void Form1::RiproduciSuono(int id)
{
    Module1::RiproduciSuono(id);
}

void Form1::Form_Load()
{
    m_esperimento.Form_Load();
}

void Form1::Option1_Click(int index)
{
    const bool okPrima = Command1->isEnabled();
    m_esperimento.ScegliLiquido(index);
    DopoLaScelta(Option1, okPrima);
}

void Form1::Option2_Click(int index)
{
    const bool okPrima = Command1->isEnabled();
    m_esperimento.ScegliMateriale(index);
    DopoLaScelta(Option2, okPrima);
}

void Form1::DopoLaScelta(QButtonGroup* gruppo, bool okPrima)
{
    AggiornaNomiAccessibili();
    QAbstractButton* scelta = gruppo->checkedButton();
    m_avvisoOk = !okPrima && Command1->isEnabled() ? scelta : nullptr;
    DescriviScelte();
    // Moving to a choice, a screen reader reads it with its description; a choice made where
    // the focus already was (Space, a click) it reads as a new state alone: the rest is said.
    if (scelta && scelta->hasFocus() && scelta != m_fuocoNuovo)
        m_avviso->Di(scelta->accessibleDescription());
    // A run may follow: have the sound stack ready by then, off the way to the first window.
    Module1::Prepara();
}

void Form1::Command1_Click()
{
    m_esperimento.AvviaDiscesa();
}

void Form1::tmrDiscesa_Timer()
{
    m_esperimento.tmrDiscesa_Timer();
}

void Form1::mnprince_Click()
{
    m_finestra.mnprince_Click();
}

void Form1::Command3_Click()
{
    m_finestra.Command3_Click();
}

void Form1::mninfo_Click()
{
    m_finestra.mninfo_Click();
}

void Form1::Image1_Click()
{
    m_finestra.Image1_Click();
}

void Form1::MostraPannello(Pannello pannello, bool aperto)
{
    Riquadro* riquadro = pannello == Pannello::Frame3 ? Frame3 : Frame4;
    if (aperto)
        ApriPannello(riquadro, pannello == Pannello::Frame3 ? Command3 : Image1);
    else
        ChiudiPannello(riquadro);
}

// An open panel is a sheet over the window for the keyboard: the focus goes to its arrow, Tab
// goes round the arrows of the open panels only, and when it closes the focus goes back to
// where it was. The parts of the groups and of "OK" that show past a panel's edge stay for the
// mouse; the keys never reach the controls that lie under it.
void Form1::ApriPannello(Riquadro* pannello, Figura* freccia)
{
    m_fuocoPrima.insert(pannello, m_ultimoFuoco);
    const QList<QWidget*> prima = ContenitoreAccessibile::FigliDi(centralWidget());
    pannello->show();
    ContenitoreAccessibile::Annuncia(centralWidget(), prima);
    freccia->setFocus(Qt::OtherFocusReason);
}

void Form1::ChiudiPannello(Riquadro* pannello)
{
    QWidget* fuoco = QApplication::focusWidget();
    const bool fuocoDentro = !fuoco || pannello->isAncestorOf(fuoco);
    const QPointer<QWidget> prima = m_fuocoPrima.take(pannello);
    // The other panel, opened from this one, goes back where this one would have.
    for (auto altro = m_fuocoPrima.begin(); altro != m_fuocoPrima.end(); ++altro)
        if (altro.value() && pannello->isAncestorOf(altro.value()))
            altro.value() = prima;
    // The focus moves before the panel hides, so that it goes straight where it belongs.
    if (fuocoDentro) {
        QList<Figura*> frecce = FrecceAperte();
        frecce.removeIf(
            [pannello](const Figura* freccia) { return pannello->isAncestorOf(freccia); });
        if (!frecce.isEmpty() && !(prima && frecce.contains(prima)))
            frecce.first()->setFocus(Qt::OtherFocusReason);
        else if (prima && prima->isVisible() && prima->isEnabled())
            prima->setFocus(Qt::OtherFocusReason);
    }
    const QList<QWidget*> albero = ContenitoreAccessibile::FigliDi(centralWidget());
    pannello->hide();
    ContenitoreAccessibile::Annuncia(centralWidget(), albero);
}

QList<Figura*> Form1::FrecceAperte() const
{
    QList<Figura*> frecce;
    for (Pannello pannello : m_finestra.Aperti())
        frecce << (pannello == Pannello::Frame3 ? Command3 : Image1);
    return frecce;
}

bool Form1::focusNextPrevChild(bool next)
{
    const QList<Figura*> frecce = FrecceAperte();
    if (frecce.isEmpty())
        return QMainWindow::focusNextPrevChild(next);
    const qsizetype qui = frecce.indexOf(QApplication::focusWidget());
    const qsizetype n = frecce.size();
    const qsizetype dopo = qui < 0 ? 0 : (qui + (next ? 1 : n - 1)) % n;
    frecce.at(dopo)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void Form1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) {
        EntraNeiMenu();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier
        && !m_finestra.Aperti().empty()) {
        m_finestra.Form_Escape();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// F10 does what Alt pressed and released alone does, which the menu bar watches for on its way
// from the focus up to the window: it enters the menus with the first one highlighted.
void Form1::EntraNeiMenu()
{
    QWidget* qui = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    QKeyEvent alt(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(qui, &alt);
    QKeyEvent premuto(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(qui, &premuto);
    QKeyEvent rilascio(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(qui, &rilascio);
}

void Form1::mnexit_Click()
{
    m_finestra.mnexit_Click();
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->setAccepted(!m_finestra.Form_Unload());
}

bool Form1::Domanda(const std::string& testo, const std::string& titolo)
{
    QMessageBox box(QMessageBox::Question, QString::fromStdString(titolo),
        QString::fromStdString(testo), QMessageBox::Yes | QMessageBox::No, this);
    // The whole program speaks Italian, whatever the system's language.
    box.button(QMessageBox::Yes)->setText(QString::fromUtf8(DomandaDiUscita::Si));
    box.button(QMessageBox::No)->setText(QString::fromUtf8(DomandaDiUscita::No));
    SenzaIcone(box);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void Form1::Termina()
{
    // At once: no tick, reset or second question runs after this, and the sound is stopped
    // before the application leaves.
    tmrDiscesa.stop();
    Module1::Chiudi();
    QCoreApplication::exit(0);
}
