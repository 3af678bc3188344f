// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

// The window's colours over the desktop's: each control of the layout table gets the colours
// that Contrasto chooses for it from the design and the application's palette, at once and
// again whenever the desktop's palette changes, so that a theme switched while the lesson runs
// repaints it. On Linux a high-contrast palette is known only by its colours: Qt 6.4 reports no
// such setting, and GNOME's high-contrast themes reach it as the light palette.
class Tavolozza : public QObject {
    Q_OBJECT

public:
    explicit Tavolozza(QWidget* client);

    // Whether the application's palette is a high-contrast one, for which the design's own
    // colours give way.
    static bool AltoContrasto();

protected:
    bool eventFilter(QObject* oggetto, QEvent* event) override;

private:
    void Applica();

    QWidget* m_client;
};
