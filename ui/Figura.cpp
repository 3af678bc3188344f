// SPDX-License-Identifier: GPL-3.0-or-later
#include "Figura.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <utility>

Figura::Figura(QWidget* parent)
    : QWidget(parent)
{
}

void Figura::setPicture(const QImage& immagine)
{
    m_carica = nullptr; // a picture put in now replaces one still waiting
    m_sorgente = nullptr;
    Mostra(immagine);
}

void Figura::setPictureAScala(Sorgente sorgente)
{
    m_carica = nullptr;
    m_sorgente = std::move(sorgente);
    m_rapporto = devicePixelRatioF();
    Mostra(m_sorgente ? m_sorgente(m_rapporto) : QImage());
}

void Figura::Mostra(const QImage& immagine)
{
    m_pixmap = QPixmap::fromImage(immagine);
    if (!m_pixmap.isNull())
        resize(m_pixmap.deviceIndependentSize().toSize());
    update();
}

void Figura::setPictureDifferita(Sorgente carica)
{
    m_carica = std::move(carica);
    if (isVisible())
        CaricaDifferita();
}

void Figura::CaricaDifferita()
{
    if (m_carica)
        setPictureAScala(std::exchange(m_carica, nullptr));
}

void Figura::showEvent(QShowEvent* event)
{
    CaricaDifferita();
    QWidget::showEvent(event);
}

void Figura::setBorderStyle(int stile)
{
    if (stile == m_borderStyle)
        return;
    m_borderStyle = stile;
    update();
}

void Figura::paintEvent(QPaintEvent*)
{
    // Moved to a screen of another pixel ratio: the drawing that suits it, at the same size.
    if (m_sorgente && !qFuzzyCompare(devicePixelRatioF(), m_rapporto)) {
        m_rapporto = devicePixelRatioF();
        m_pixmap = QPixmap::fromImage(m_sorgente(m_rapporto));
    }
    QPainter painter(this);
    // A drawing between two of our scales is resampled smoothly; at its own scale it is
    // copied pixel for pixel.
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
        !qFuzzyCompare(m_pixmap.devicePixelRatio(), devicePixelRatioF()));
    if (!m_pixmap.isNull())
        painter.drawPixmap(0, 0, m_pixmap);
    if (m_borderStyle == 1) {
        // One logical pixel wide along the edges, whatever the screen's scale.
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
    if (m_bottone && hasFocus()) {
        QStyleOptionFocusRect fuoco;
        fuoco.initFrom(this);
        fuoco.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fuoco, &painter, this);
    }
}

void Figura::setBottone(bool bottone)
{
    m_bottone = bottone;
    setFocusPolicy(bottone ? Qt::TabFocus : Qt::NoFocus);
}

void Figura::click()
{
    if (isEnabled())
        emit clicked();
}

void Figura::keyPressEvent(QKeyEvent* event)
{
    const int tasto = event->key();
    const bool preme = tasto == Qt::Key_Space || tasto == Qt::Key_Return || tasto == Qt::Key_Enter;
    if (!m_bottone || !preme || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat() || m_tastoPremuto)
        return;
    m_tastoPremuto = tasto;
    emit keyDown();
}

void Figura::keyReleaseEvent(QKeyEvent* event)
{
    if (!m_tastoPremuto || event->key() != m_tastoPremuto) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat())
        return;
    m_tastoPremuto = 0;
    emit keyUp();
    emit clicked();
}

void Figura::focusOutEvent(QFocusEvent* event)
{
    // The focus went elsewhere while the key was held: the press ends without a click.
    if (m_tastoPremuto) {
        m_tastoPremuto = 0;
        emit keyUp();
    }
    update();
    QWidget::focusOutEvent(event);
}

bool Figura::event(QEvent* event)
{
    // A box opened over the window while a button was held here: the window hears of nothing
    // until it closes, and forgets where the press went, so the press ends now.
    if (event->type() == QEvent::WindowBlocked)
        RilasciaTasti(m_premuti);
    return QWidget::event(event);
}

bool Figura::eventFilter(QObject* oggetto, QEvent* event)
{
    // Listening while a button is held here: a release that goes anywhere else (an open menu,
    // the window that dropped it) ends the press once it has been handled, if that button is up.
    if (event->type() == QEvent::MouseButtonRelease && oggetto != this)
        QMetaObject::invokeMethod(
            this, [this] { RilasciaTasti(m_premuti & ~QGuiApplication::mouseButtons()); },
            Qt::QueuedConnection);
    return false;
}

void Figura::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_premuti)
        qApp->installEventFilter(this);
    m_premuti |= event->button();
    emit mouseDown();
}

void Figura::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    // Like a button: a left press released over the picture is a click. A release whose press
    // happened elsewhere, or already ended, is none of its business.
    if (Rilascia(event->button()) && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint()))
        emit clicked();
}

bool Figura::Rilascia(Qt::MouseButton tasto)
{
    if (!m_premuti.testFlag(tasto))
        return false;
    m_premuti.setFlag(tasto, false);
    if (!m_premuti)
        qApp->removeEventFilter(this);
    emit mouseUp();
    return true;
}

void Figura::RilasciaTasti(Qt::MouseButtons tasti)
{
    for (int bit = 0; bit < 32; ++bit)
        if (tasti.testFlag(Qt::MouseButton(1u << bit)))
            Rilascia(Qt::MouseButton(1u << bit));
}
