// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include "Accessibilita.h"
#include "Avviso.h"
#include "ContenitoreAccessibile.h"
#include "Figura.h"
#include "Lettura.h"
#include "Module1.h"
#include "Riquadro.h"
#include "Risorse.h"
#include "Twips.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace {

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
        const bool avvisava = prima && m_finestra.AvvisaOk(PostoDi(prima));
        if (ora && centralWidget()->isAncestorOf(ora)) {
            m_finestra.FuocoA(PostoDi(ora));
            if (auto* opzione = qobject_cast<QAbstractButton*>(ora); opzione && opzione->group())
                m_opzioneConFuoco[opzione->group() == Option1 ? 0 : 1] = opzione;
        }
        m_fuocoNuovo = ora; // until the event that moved it is over
        QMetaObject::invokeMethod(
            this, [this] { m_fuocoNuovo = nullptr; }, Qt::QueuedConnection);
        if (avvisava)
            DescriviScelte(); // "OK" was announced once, with the choice, and is news no more
    });

    Form_Load();
}

Form1::~Form1()
{
    // The controls go after the members: the focus changes they cause are none of ours.
    disconnect(qApp, nullptr, this, nullptr);
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

// The names that follow the choices.
void Form1::AggiornaNomiAccessibili()
{
    Picture(Immagine::imgContenitore)
        ->setAccessibleName(QString::fromStdString(Lettura::NomeVasca(m_esperimento.Stato())));
    Picture(Immagine::imgLiquido)
        ->setAccessibleName(QString::fromStdString(
            Lettura::NomeCampione(m_esperimento.Stato(), Etichetta::lblPSLiquido)));
    Picture(Immagine::imgMateriale)
        ->setAccessibleName(QString::fromStdString(
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
            const bool conOk = opzione->hasFocus() && m_finestra.AvvisaOk(PostoDi(opzione));
            opzione->setAccessibleDescription(opzione->isChecked()
                    ? QString::fromStdString(
                        Lettura::DescrizioneScelta(m_esperimento, densita, conOk))
                    : QString());
        }
}

Figura* Form1::Picture(Immagine img) const
{
    return m_immagini[std::size_t(img)];
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
    const Posto ora = PostoDi(focusWidget());
    if (!abilitato && Finestra::FuocoAllAvvio(ora) != ora) {
        // Before "OK" goes grey, or its focus would fall to the first choice, which a screen
        // reader would read again; the tank says why it has the focus.
        Picture(Immagine::imgContenitore)
            ->setAccessibleDescription(QString::fromUtf8(Lettura::CorsaAvviata));
        Picture(Immagine::imgContenitore)->setFocus(Qt::OtherFocusReason);
    }
    Command1->setEnabled(abilitato);
    if (abilitato && Finestra::FuocoAllaFine(ora) != ora)
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
    Picture(Immagine::imgContenitore)->setAccessibleDescription(QString()); // the run is over
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
    m_finestra.Scelto(
        gruppo == Option1 ? Posto::Option1 : Posto::Option2, okPrima, Command1->isEnabled());
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
        ChiudiPannello(pannello, riquadro);
}

// An open panel is a sheet over the window for the keyboard: the focus goes to its arrow, Tab
// goes round the arrows of the open panels only, and when it closes the focus goes back to
// where it was. The parts of the groups and of "OK" that show past a panel's edge stay for the
// mouse; the keys never reach the controls that lie under it.
void Form1::ApriPannello(Riquadro* pannello, Figura* freccia)
{
    const QList<QWidget*> prima = ContenitoreAccessibile::FigliDi(centralWidget());
    pannello->show();
    ContenitoreAccessibile::Annuncia(centralWidget(), prima);
    freccia->setFocus(Qt::OtherFocusReason);
}

void Form1::ChiudiPannello(Pannello quale, Riquadro* pannello)
{
    // The focus moves before the panel hides, so that it goes straight where it belongs.
    QWidget* fuoco = QApplication::focusWidget();
    if (!fuoco || pannello->isAncestorOf(fuoco))
        if (QWidget* dove = Controllo(m_finestra.FuocoDopoLaChiusura(quale, Command1->isEnabled())))
            dove->setFocus(Qt::OtherFocusReason);
    const QList<QWidget*> albero = ContenitoreAccessibile::FigliDi(centralWidget());
    pannello->hide();
    ContenitoreAccessibile::Annuncia(centralWidget(), albero);
}

Posto Form1::PostoDi(const QWidget* controllo) const
{
    if (Option1->buttons().contains(controllo))
        return Posto::Option1;
    if (Option2->buttons().contains(controllo))
        return Posto::Option2;
    for (Posto posto : { Posto::Command1, Posto::imgContenitore, Posto::Command3, Posto::Image1 })
        if (Controllo(posto) == controllo)
            return posto;
    return Posto::Nessuno;
}

// A group takes the focus back on the button that had it last, or else on its chosen button,
// or else on its first.
QWidget* Form1::Controllo(Posto posto) const
{
    const auto gruppo = [this](int i, QButtonGroup* g) -> QWidget* {
        if (m_opzioneConFuoco[i])
            return m_opzioneConFuoco[i];
        return g->checkedButton() ? g->checkedButton() : g->buttons().value(0);
    };
    switch (posto) {
    case Posto::Option1:
        return gruppo(0, Option1);
    case Posto::Option2:
        return gruppo(1, Option2);
    case Posto::Command1:
        return Command1;
    case Posto::imgContenitore:
        return Picture(Immagine::imgContenitore);
    case Posto::Command3:
        return Command3;
    case Posto::Image1:
        return Image1;
    case Posto::Nessuno:
        break;
    }
    return nullptr;
}

bool Form1::focusNextPrevChild(bool next)
{
    const Posto dove = m_finestra.Tab(PostoDi(QApplication::focusWidget()), next);
    if (dove == Posto::Nessuno)
        return QMainWindow::focusNextPrevChild(next);
    Controllo(dove)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
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
