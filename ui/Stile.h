// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The window's style over a base style, with two things a keyboard user must see: a dark dotted
// focus frame instead of a pale box, and the menu bar's entry highlighted as soon as Alt enters
// the bar, not only once its menu opens.
class Stile : public QProxyStyle {
    Q_OBJECT

public:
    explicit Stile(QStyle* base = nullptr);

    void drawPrimitive(PrimitiveElement elemento, const QStyleOption* opzione, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement elemento, const QStyleOption* opzione, QPainter* painter,
        const QWidget* widget = nullptr) const override;
};
