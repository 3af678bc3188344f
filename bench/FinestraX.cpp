// SPDX-License-Identifier: GPL-3.0-or-later
// The platform's floor: a bare Xlib window of Idrovela's size, 474 x 418, painted grey on its
// first exposure. Like a Qt window it has no background of its own, so the server draws
// nothing in it: its first pixels are the program's own.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    const int schermo = DefaultScreen(display);
    XSetWindowAttributes attributi {};
    attributi.background_pixmap = None;
    attributi.event_mask = ExposureMask;
    const Window finestra = XCreateWindow(display, RootWindow(display, schermo), 0, 0, 474, 418, 0,
        CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributi);
    XStoreName(display, finestra, "Finestra X");
    XSizeHints misure {};
    misure.flags = PMinSize | PMaxSize;
    misure.min_width = misure.max_width = 474;
    misure.min_height = misure.max_height = 418;
    XSetWMNormalHints(display, finestra, &misure);
    const GC gc = XCreateGC(display, finestra, 0, nullptr);
    XSetForeground(display, gc, 0xC7C7C7);
    XMapWindow(display, finestra);
    for (;;) {
        XEvent evento;
        XNextEvent(display, &evento);
        if (evento.type == Expose && evento.xexpose.count == 0) {
            XFillRectangle(display, finestra, gc, 0, 0, 474, 418);
            XFlush(display);
        }
    }
}
