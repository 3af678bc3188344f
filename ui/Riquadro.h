// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

// A frame: a captioned group box with its own background and caption colour, whose children
// are placed from its own top-left corner. It draws itself the same on every platform: an
// etched border from the middle of the caption down, the caption on the frame's background.
class Riquadro : public QGroupBox {
    Q_OBJECT

public:
    explicit Riquadro(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_fontDaMisurare = false; // a font set while hidden, not yet measured
};
