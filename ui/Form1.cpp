// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include "Aspetto.h"
#include "Catalogo.h"
#include "Disposizione.h"
#include "Figura.h"
#include "Linea.h"
#include "Module1.h"
#include "Riquadro.h"
#include "Risorse.h"
#include "Twips.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
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

constexpr int LarghezzaClient = 7110; // twips
constexpr int AltezzaClient = 6000;
const QColor SfondoForm(199, 199, 199);

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
    , tmrDiscesa(this)
{
    // A fixed border: the window can be minimised and closed, never resized or maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Idrovela"));
    setWindowIcon(QIcon(QPixmap::fromImage(Risorse::Immagine(Risorse::Disegno::Busto))));
    CreaMenu();
    CreaControlli();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    tmrDiscesa.setObjectName(QStringLiteral("tmrDiscesa"));
    tmrDiscesa.setTimerType(Qt::PreciseTimer);
    tmrDiscesa.setInterval(Discesa::IntervalloMs);
    connect(&tmrDiscesa, &QTimer::timeout, this, &Form1::tmrDiscesa_Timer);

    Form_Load();
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
    client->setFixedSize(Twips::Px(LarghezzaClient), Twips::Px(AltezzaClient));
    client->setAutoFillBackground(true);
    Colora(client, QPalette::Window, SfondoForm);
    setCentralWidget(client);

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
        auto* figura = new Figura(contenitore);
        m_top.insert(figura, float(riga.top));
        controllo = figura;
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
    imgContenitore->setPicture(Risorse::Bitmap(Catalogo::Liquidi[0].bitmapContenitore));
    // The bodies and the panels' arrows are hidden at start-up: each is decoded when it first
    // shows, off the way to the first frame.
    const auto disegno = [](Disegno d) { return [d] { return Risorse::Immagine(d); }; };
    imgGhiaccio->setPictureDifferita(disegno(Disegno::CorpoGhiaccio));
    imgFerro->setPictureDifferita(disegno(Disegno::CorpoFerro));
    imgRame->setPictureDifferita(disegno(Disegno::CorpoRame));
    imgLegno->setPictureDifferita(disegno(Disegno::CorpoLegno));
    for (Figura* bottone : { Command3, Image1 }) {
        bottone->setPictureDifferita(disegno(Disegno::FrecciaIndietro));
        bottone->setToolTip(QStringLiteral("Indietro"));
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
        connect(bottone, &Figura::mouseUp, bottone, [bottone] { bottone->setBorderStyle(0); });
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
        prima = controllo;
    }
}

void Form1::DaiNomiAccessibili()
{
    imgGhiaccio->setAccessibleName(QStringLiteral("Corpo di ghiaccio"));
    imgFerro->setAccessibleName(QStringLiteral("Corpo di ferro"));
    imgRame->setAccessibleName(QStringLiteral("Corpo di rame"));
    imgLegno->setAccessibleName(QStringLiteral("Corpo di legno"));
    Frame3->setAccessibleName(QStringLiteral("Spiegazione"));
    Frame4->setAccessibleName(QStringLiteral("Informazioni"));
    Command3->setAccessibleName(QStringLiteral("Indietro"));
    Image1->setAccessibleName(QStringLiteral("Indietro"));
    AggiornaNomiAccessibili();
}

// The names that follow the choices.
void Form1::AggiornaNomiAccessibili()
{
    const StatoEsperimento& stato = m_esperimento.Stato();
    const auto liquido = [&] {
        return QString::fromUtf8(Catalogo::Liquidi.at(stato.IndiceLiquido).caption).toLower();
    };
    const auto materiale = [&] {
        return QString::fromUtf8(Catalogo::Materiali.at(stato.IndiceMateriale).caption).toLower();
    };
    const bool conLiquido = stato.DensitaLiquido > 0.0;
    imgContenitore->setAccessibleName(conLiquido ? QStringLiteral("Vasca con %1").arg(liquido())
                                                 : QStringLiteral("Vasca con acqua"));
    imgLiquido->setAccessibleName(conLiquido ? QStringLiteral("Campione di %1").arg(liquido())
                                             : QStringLiteral("Nessun liquido scelto"));
    imgMateriale->setAccessibleName(stato.imgCorpo
            ? QStringLiteral("Campione di %1").arg(materiale())
            : QStringLiteral("Nessun materiale scelto"));
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
    Picture(img)->setVisible(visibile);
}

void Form1::ImpostaTop(Immagine img, float top)
{
    Figura* figura = Picture(img);
    m_top.insert(figura, top);
    figura->move(figura->x(), Twips::Px(top));
}

float Form1::LeggiTop(Immagine img) const
{
    return m_top.value(Picture(img));
}

void Form1::CaricaBitmap(Immagine img, int id)
{
    Picture(img)->setPicture(Risorse::Bitmap(id));
}

void Form1::ImpostaCaption(Etichetta lbl, const std::string& testo)
{
    QLabel* label = lbl == Etichetta::lblPSLiquido ? lblPSLiquido : lblPSMateriale;
    label->setText(QString::fromStdString(testo));
}

void Form1::AbilitaCommand1(bool abilitato)
{
    Command1->setEnabled(abilitato);
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
    m_esperimento.ScegliLiquido(index);
    DopoLaScelta();
}

void Form1::Option2_Click(int index)
{
    m_esperimento.ScegliMateriale(index);
    DopoLaScelta();
}

void Form1::DopoLaScelta()
{
    AggiornaNomiAccessibili();
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
    Frame3->show();
}

void Form1::Command3_Click()
{
    Frame3->hide();
}

void Form1::mninfo_Click()
{
    Frame4->show();
}

void Form1::Image1_Click()
{
    Frame4->hide();
}

void Form1::mnexit_Click()
{
    if (ConfermaUscita())
        Termina();
}

void Form1::Form_Unload(bool& cancel)
{
    if (ConfermaUscita())
        Termina();
    else
        cancel = true;
}

void Form1::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    if (!m_uscitaConfermata) // once the pupil said yes, the window closes without asking again
        Form_Unload(cancel);
    event->setAccepted(!cancel);
}

bool Form1::ConfermaUscita()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Uscita"),
        QStringLiteral("Sei sicuro di voler uscire?"), QMessageBox::Yes | QMessageBox::No, this);
    // The whole program speaks Italian, whatever the system's language.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
    box.button(QMessageBox::No)->setText(QStringLiteral("No"));
    SenzaIcone(box);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void Form1::Termina()
{
    // At once: no tick, reset or second question runs after this, and the sound is stopped
    // before the application leaves.
    m_uscitaConfermata = true;
    tmrDiscesa.stop();
    Module1::Chiudi();
    QCoreApplication::exit(0);
}
