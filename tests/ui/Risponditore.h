// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

// What a message box showed when it was answered.

struct MessaggioVisto {
    QString titolo;
    QString testo;
    QMessageBox::Icon icona = QMessageBox::NoIcon;
    QStringList bottoni;
    QString predefinito;
    bool iconeSuiBottoni = false;
};

// Answers every message box that opens, like a pupil would: it notes what the box showed,
// then presses the button whose text is the answer.
class Risponditore : public QObject {
public:
    explicit Risponditore(QString risposta = QStringLiteral("OK"))
        : m_risposta(std::move(risposta))
    {
        connect(&m_timer, &QTimer::timeout, this, &Risponditore::Guarda);
        m_timer.start(5);
    }

    void setRisposta(const QString& risposta) { m_risposta = risposta; }
    // Runs while the box is open, before it is answered.
    std::function<void(QMessageBox*)> prima;
    QList<MessaggioVisto> visti;

private:
    void Guarda()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        MessaggioVisto visto { box->windowTitle(), box->text(), box->icon(), {}, {} };
        for (QAbstractButton* bottone : box->buttons()) {
            visto.bottoni << bottone->text();
            visto.iconeSuiBottoni |= !bottone->icon().isNull();
        }
        if (box->defaultButton())
            visto.predefinito = box->defaultButton()->text();
        visti << visto;
        if (prima)
            prima(box);
        for (QAbstractButton* bottone : box->buttons())
            if (bottone->text() == m_risposta) {
                bottone->click();
                return;
            }
    }

    QString m_risposta;
    QTimer m_timer;
};
