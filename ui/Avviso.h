// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// Something a screen reader says once, at once, without moving the focus and without anything
// to see: a notification of no size that shows for a moment with its words as its name.
class Avviso : public QWidget {
    Q_OBJECT

public:
    explicit Avviso(QWidget* parent = nullptr);

    void Di(const QString& parole);
};
