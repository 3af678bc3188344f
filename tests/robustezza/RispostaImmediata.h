// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include <functional>

// Answers every message box as soon as it shows, without waiting for a timer: "No" to the
// question before leaving, "OK" to anything else. It notes each box's title, and can let the
// pupil do something else first, while the box is open.
class RispostaImmediata : public QObject {
public:
    RispostaImmediata() { qApp->installEventFilter(this); }
    ~RispostaImmediata() override { qApp->removeEventFilter(this); }

    QStringList titoli; // of the boxes shown, in order; the caller empties it
    std::function<void()> prima; // runs while the box is open, before the answer

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        auto* box = qobject_cast<QMessageBox*>(oggetto);
        if (box && evento->type() == QEvent::Show) {
            titoli << box->windowTitle();
            // Queued, so that the box's own event loop is running when it is answered.
            QMetaObject::invokeMethod(
                this, [this, box = QPointer<QMessageBox>(box)] { Rispondi(box); },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    void Rispondi(QMessageBox* box)
    {
        if (!box || !box->isVisible())
            return;
        if (prima)
            prima();
        const bool domanda = box->windowTitle() == QLatin1String("Uscita");
        for (QAbstractButton* bottone : box->buttons())
            if (bottone->text() == (domanda ? QLatin1String("No") : QLatin1String("OK"))) {
                bottone->click();
                return;
            }
        // A box without the expected button would hang the test: close it and say so.
        titoli << QStringLiteral("(no answer) ") + box->windowTitle();
        box->reject();
    }
};
