// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

// A horizontal or vertical line with a colour and a width in pixels, between two points of
// its container, end points included. A wide line grows from its points towards the top or
// the left first, as a pen does. It covers only its own pixels and lets clicks through.
class Linea : public QWidget {
    Q_OBJECT

public:
    Linea(QPoint da, QPoint a, int spessore, QColor colore, QWidget* parent = nullptr);

    QColor colore() const { return m_colore; }
    void setColore(QColor colore);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colore;
};
