// SPDX-License-Identifier: GPL-3.0-or-later
#include "Osservatore.h"

#include "Figlio.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <thread>

Osservatore::Osservatore(const QByteArray& display)
{
    m_display = XOpenDisplay(display.constData());
    if (!m_display)
        return;
    int errori = 0;
    int evento = 0;
    int maggiore = 0;
    int minore = 0;
    if (!XDamageQueryExtension(m_display, &m_baseDanni, &errori)
        || !XTestQueryExtension(m_display, &evento, &errori, &maggiore, &minore))
        return;
    m_radice = DefaultRootWindow(m_display);
    // Creation, configuration and mapping of the root's children: the top-level windows, since
    // no window manager reparents them.
    XSelectInput(m_display, m_radice, SubstructureNotifyMask);
    // Raw rectangles: one event per drawing, with no need to acknowledge the damage.
    m_danno = XDamageCreate(m_display, m_radice, XDamageReportRawRectangles);
    XSync(m_display, False);
    m_pronto = true;
}

Osservatore::~Osservatore()
{
    if (!m_display)
        return;
    if (m_danno)
        XDamageDestroy(m_display, m_danno);
    XCloseDisplay(m_display);
}

void Osservatore::Traduci(const void* dati, qint64 ns)
{
    const XEvent& e = *static_cast<const XEvent*>(dati);
    switch (e.type) {
    case CreateNotify:
        m_geometrie.insert(e.xcreatewindow.window,
            QRect(e.xcreatewindow.x, e.xcreatewindow.y, e.xcreatewindow.width,
                e.xcreatewindow.height));
        return;
    case ConfigureNotify:
        m_geometrie.insert(e.xconfigure.window,
            QRect(e.xconfigure.x, e.xconfigure.y, e.xconfigure.width, e.xconfigure.height));
        return;
    case DestroyNotify:
        m_geometrie.remove(e.xdestroywindow.window);
        m_mappate.remove(e.xdestroywindow.window);
        return;
    case MapNotify:
        // Menus and tooltips bypass window management; they are not the windows measured.
        if (e.xmap.override_redirect)
            return;
        m_mappate.insert(e.xmap.window);
        m_coda.push_back(
            { Evento::Tipo::Mappa, ns, e.xmap.window, m_geometrie.value(e.xmap.window) });
        return;
    case UnmapNotify:
        if (m_mappate.remove(e.xunmap.window))
            m_coda.push_back({ Evento::Tipo::Smappa, ns, e.xunmap.window, {} });
        return;
    default:
        break;
    }
    if (e.type == m_baseDanni + XDamageNotify) {
        const auto& danno = reinterpret_cast<const XDamageNotifyEvent&>(e);
        m_coda.push_back({ Evento::Tipo::Disegno, ns, 0,
            QRect(danno.area.x, danno.area.y, danno.area.width, danno.area.height) });
    }
}

void Osservatore::Leggi(qint64 ns)
{
    // Only what has already come in is taken: every event of one read carries its time.
    while (XEventsQueued(m_display, QueuedAfterReading) > 0) {
        XEvent e;
        XNextEvent(m_display, &e);
        Traduci(&e, ns);
    }
}

std::optional<Osservatore::Evento> Osservatore::Prossimo(qint64 scadenza)
{
    if (!m_pronto)
        return std::nullopt;
    for (;;) {
        if (!m_coda.empty()) {
            const Evento e = m_coda.front();
            m_coda.pop_front();
            return e;
        }
        if (XEventsQueued(m_display, QueuedAlready) > 0) {
            Leggi(Adesso());
            continue;
        }
        const qint64 resto = scadenza - Adesso();
        if (resto <= 0)
            return std::nullopt;
        pollfd attesa { ConnectionNumber(m_display), POLLIN, 0 };
        if (poll(&attesa, 1, int((resto + 999999) / 1000000)) > 0)
            Leggi(Adesso());
    }
}

void Osservatore::Svuota(int attesaMs)
{
    const qint64 scadenza = Adesso() + qint64(attesaMs) * 1000000;
    while (Prossimo(scadenza)) { }
    m_coda.clear();
}

qint64 Osservatore::Clic(QPoint punto)
{
    XTestFakeMotionEvent(m_display, -1, punto.x(), punto.y(), CurrentTime);
    XTestFakeButtonEvent(m_display, Button1, True, CurrentTime);
    XFlush(m_display);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    XTestFakeButtonEvent(m_display, Button1, False, CurrentTime);
    XFlush(m_display);
    return Adesso();
}

qint64 Osservatore::Tasto(const char* nome)
{
    const KeyCode codice = XKeysymToKeycode(m_display, XStringToKeysym(nome));
    XTestFakeKeyEvent(m_display, codice, True, CurrentTime);
    XTestFakeKeyEvent(m_display, codice, False, CurrentTime);
    XFlush(m_display);
    return Adesso();
}

quint32 Osservatore::Colore(QPoint punto)
{
    XImage* immagine
        = XGetImage(m_display, m_radice, punto.x(), punto.y(), 1, 1, AllPlanes, ZPixmap);
    if (!immagine)
        return 0;
    // The screen is 24-bit TrueColor: red, green and blue from the high byte down.
    const quint32 pixel = quint32(XGetPixel(immagine, 0, 0) & 0xFFFFFF);
    XDestroyImage(immagine);
    return pixel;
}
