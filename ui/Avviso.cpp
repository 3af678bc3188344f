// SPDX-License-Identifier: GPL-3.0-or-later
#include "Avviso.h"

Avviso::Avviso(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(0, 0);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void Avviso::Di(const QString& parole)
{
    // A screen reader speaks a notification as it shows.
    hide();
    setAccessibleName(parole);
    show();
}
