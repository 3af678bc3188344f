// SPDX-License-Identifier: GPL-3.0-or-later
// The window's menus and controls, made from the layout table: places, fonts, colours, the
// stacking and the Tab order as the table gives them.
#include "Form1.h"

#include "Aspetto.h"
#include "Avviso.h"
#include "Catalogo.h"
#include "ContenitoreAccessibile.h"
#include "Disposizione.h"
#include "Figura.h"
#include "Lettura.h"
#include "Linea.h"
#include "Riquadro.h"
#include "Risorse.h"
#include "Tavolozza.h"
#include "Twips.h"

#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cstring>
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

} // namespace

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
    for (std::size_t i = 0; i < m_immagini.size(); ++i)
        m_immagini[i] = figura(Nome(Immagine(i)));
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
    Picture(Immagine::imgGhiaccio)->setPictureDifferita(disegno(Disegno::CorpoGhiaccio));
    Picture(Immagine::imgFerro)->setPictureDifferita(disegno(Disegno::CorpoFerro));
    Picture(Immagine::imgRame)->setPictureDifferita(disegno(Disegno::CorpoRame));
    Picture(Immagine::imgLegno)->setPictureDifferita(disegno(Disegno::CorpoLegno));
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

// A screen reader reads each container in the window's reading order.
void Form1::DaiOrdineDiLettura()
{
    int posto = 0;
    for (const char* nome : Lettura::OrdineDiLettura) {
        std::vector<const Riga*> righe;
        for (const Riga& riga : Disposizione::Controlli)
            if (std::strcmp(riga.nome, nome) == 0)
                righe.push_back(&riga);
        std::sort(righe.begin(), righe.end(),
            [](const Riga* a, const Riga* b) { return a->tabIndex < b->tabIndex; });
        for (const Riga* riga : righe)
            centralWidget()
                ->findChild<QWidget*>(Nome(*riga))
                ->setProperty(ContenitoreAccessibile::Ordine, posto++);
    }
}
