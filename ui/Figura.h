// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

#include <functional>

// A picture control: shows its picture at its natural size from the top-left corner, never
// stretched, and takes that size when a picture is put into it (without one it keeps its
// design size). Transparent where the picture is. With border style 1 it draws a thin
// single line around itself. Reports presses, releases and clicks like a button. Every
// mouseDown is followed by a mouseUp, even when the window never brings the release here (a
// menu or a box opened while the button was held): the press then ends when the button is up.
// Made a button, it also takes the keyboard focus by Tab and is pressed by Space or Return:
// keyDown while the key is held, keyUp, then a click.
class Figura : public QWidget {
    Q_OBJECT

public:
    // A picture as drawn for a screen's device pixel ratio: larger on a sharper screen, with
    // its own device pixel ratio set so that it always covers the same logical size.
    using Sorgente = std::function<QImage(qreal rapporto)>;

    explicit Figura(QWidget* parent = nullptr);

    void setPicture(const QImage& immagine);
    // The drawing that suits the screen now, and again whenever the control moves to a screen
    // of another pixel ratio.
    void setPictureAScala(Sorgente sorgente);
    // The same, with a picture decoded only when the control is first shown: one hidden at
    // start-up costs nothing until it is needed. The control keeps its size until then.
    void setPictureDifferita(Sorgente carica);
    // Null while the picture waits to be decoded.
    QPixmap picture() const { return m_pixmap; }

    void setBorderStyle(int stile);
    int borderStyle() const { return m_borderStyle; }

    void setBottone(bool bottone);
    bool bottone() const { return m_bottone; }
    // Whether a mouse button, or the key, holds it pressed right now.
    bool premutoDalMouse() const { return m_premuti != Qt::NoButton; }
    bool premutoDalTasto() const { return m_tastoPremuto != 0; }
    // A press from elsewhere (a screen reader): the click alone.
    void click();

signals:
    void mouseDown();
    void mouseUp();
    void clicked();
    void keyDown();
    void keyUp();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* oggetto, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void CaricaDifferita();
    void Mostra(const QImage& immagine);
    bool Rilascia(Qt::MouseButton tasto);
    void RilasciaTasti(Qt::MouseButtons tasti);

    QPixmap m_pixmap;
    Sorgente m_carica; // the picture still to decode, if any
    Sorgente m_sorgente; // where the picture shown comes from, if it suits a pixel ratio
    qreal m_rapporto = 1; // the pixel ratio the picture shown was drawn for
    int m_borderStyle = 0;
    Qt::MouseButtons m_premuti; // pressed on it and not yet released
    bool m_bottone = false;
    int m_tastoPremuto = 0; // the key that presses it, while held
};
