// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tavolozza.h"

#include "Contrasto.h"
#include "Disposizione.h"
#include "Geometria.h"
#include "Linea.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QWidget>

using Disposizione::Colore;
using Disposizione::Riga;
using Disposizione::Tipo;

namespace {

Colore Da(const QColor& colore)
{
    return { colore.red(), colore.green(), colore.blue() };
}

QColor A(Colore colore)
{
    return QColor(colore.r, colore.g, colore.b);
}

const Riga* Contenitore(const Riga& riga)
{
    if (riga.contenitore)
        for (const Riga& frame : Disposizione::Controlli)
            if (qstrcmp(frame.nome, riga.contenitore) == 0)
                return &frame;
    return nullptr;
}

QString Nome(const Riga& riga)
{
    const QString nome = QString::fromLatin1(riga.nome);
    return riga.indice < 0 ? nome : QStringLiteral("%1_%2").arg(nome).arg(riga.indice);
}

void Colora(QWidget* widget, std::initializer_list<std::pair<QPalette::ColorRole, Colore>> colori)
{
    QPalette palette = widget->palette();
    for (const auto& [ruolo, colore] : colori)
        palette.setColor(ruolo, A(colore));
    widget->setPalette(palette);
}

} // namespace

Tavolozza::Tavolozza(QWidget* client)
    : QObject(client)
    , m_client(client)
{
    // The application hears of every change of the desktop's palette, also one that Qt sends to
    // no widget that has colours of its own.
    qApp->installEventFilter(this);
    Applica();
}

bool Tavolozza::AltoContrasto()
{
    const QPalette sistema = QApplication::palette();
    return Contrasto::AltoContrasto(Da(sistema.color(QPalette::Window)),
        Da(sistema.color(QPalette::WindowText)), Da(sistema.color(QPalette::Button)),
        Da(sistema.color(QPalette::ButtonText)));
}

bool Tavolozza::eventFilter(QObject* oggetto, QEvent* event)
{
    if (oggetto == qApp && event->type() == QEvent::ApplicationPaletteChange)
        Applica();
    return QObject::eventFilter(oggetto, event);
}

void Tavolozza::Applica()
{
    const QPalette sistema = QApplication::palette();
    const bool alto = AltoContrasto();
    const Colore finestra = Da(sistema.color(QPalette::Window));
    const Colore testoFinestra = Da(sistema.color(QPalette::WindowText));
    const Colore faccia = Da(sistema.color(QPalette::Button));
    const Colore testoFaccia = Da(sistema.color(QPalette::ButtonText));

    // A panel of the design's own colours is a sheet of text: under high contrast it takes the
    // window's colours, a group box the button face's.
    const auto sfondoFrame = [&](const Riga& frame) {
        return Contrasto::Sfondo(
            frame.sfondo, alto && !frame.sfondo.Sistema() ? finestra : faccia, alto);
    };
    const Colore sfondoClient = Contrasto::Sfondo(Geometria::SfondoForm, finestra, alto);
    Colora(m_client, { { QPalette::Window, sfondoClient } });

    for (const Riga& riga : Disposizione::Controlli) {
        const Riga* contenitore = Contenitore(riga);
        const Colore sfondo = contenitore ? sfondoFrame(*contenitore) : sfondoClient;
        QWidget* widget = m_client->findChild<QWidget*>(Nome(riga));
        if (!widget)
            continue;
        switch (riga.tipo) {
        case Tipo::Frame: {
            const Colore proprio = sfondoFrame(riga);
            const Colore testo = Contrasto::TestoSu(proprio, riga.testoOLinea,
                alto && !riga.sfondo.Sistema() ? testoFinestra : testoFaccia, alto);
            Colora(widget, { { QPalette::Window, proprio }, { QPalette::WindowText, testo } });
            break;
        }
        case Tipo::Label:
            Colora(widget,
                { { QPalette::WindowText,
                    Contrasto::TestoSu(sfondo, riga.testoOLinea, testoFinestra, alto) } });
            break;
        case Tipo::Line:
            // A line of the window's text colour, or any line under high contrast, is drawn in
            // the colour a focus frame would take there.
            if (auto* linea = qobject_cast<Linea*>(widget))
                linea->setColore(A(alto || riga.testoOLinea.Sistema()
                        ? Contrasto::IndicatoreSu(sfondo, testoFinestra)
                        : riga.testoOLinea));
            break;
        case Tipo::Picture:
            // A picture keeps its colours; one that lets a panel show through (the black back
            // arrow) keeps the panel's own colour around it too, or under high contrast it would
            // vanish into a black window.
            if (contenitore && !contenitore->sfondo.Sistema()) {
                widget->setAutoFillBackground(alto);
                Colora(widget, { { QPalette::Window, contenitore->sfondo } });
            }
            break;
        default:
            break;
        }
    }
}
