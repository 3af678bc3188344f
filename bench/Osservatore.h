// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QRect>
#include <QSet>

#include <deque>
#include <optional>

struct _XDisplay;

// Watches an X server from outside the programs under measurement, the same way for all of
// them: which top-level windows are mapped, and when anything is drawn on the screen. The
// DAMAGE extension, asked on the root window, reports every drawing into the screen's pixels
// with its rectangle, whichever client draws and however (core requests, shared-memory
// images, RENDER). It also plays the pupil's hands, clicking and typing through the XTEST
// extension as xdotool does, and reads pixels back.
class Osservatore {
public:
    explicit Osservatore(const QByteArray& display);
    ~Osservatore();
    Osservatore(const Osservatore&) = delete;
    Osservatore& operator=(const Osservatore&) = delete;

    // Connected, with DAMAGE and XTEST.
    bool Pronto() const { return m_pronto; }

    struct Evento {
        enum class Tipo {
            Mappa, // a top-level window was mapped; area is its rectangle
            Smappa, // a top-level window mapped before was unmapped
            Disegno, // pixels were drawn; area is their rectangle
        };
        Tipo tipo = Tipo::Disegno;
        qint64 ns = 0; // when it reached the observer, on CLOCK_MONOTONIC
        unsigned long finestra = 0; // the window mapped or unmapped
        QRect area; // on the screen
    };

    // The next event, waiting until the deadline (CLOCK_MONOTONIC ns) at most.
    std::optional<Evento> Prossimo(qint64 scadenza);
    // Throws away what has arrived so far, waiting this long for stragglers.
    void Svuota(int attesaMs = 0);

    // A left click at a point of the screen: the press, a short hold, the release. Returns when
    // the release was sent, on CLOCK_MONOTONIC; the program reacts to the release.
    qint64 Clic(QPoint punto);
    // Presses and releases a key by its keysym name ("Return"). Returns when it was sent.
    qint64 Tasto(const char* nome);
    // The colour of a pixel of the screen as it is now, as 0xRRGGBB.
    quint32 Colore(QPoint punto);

private:
    void Leggi(qint64 ns);
    void Traduci(const void* evento, qint64 ns);

    _XDisplay* m_display = nullptr;
    unsigned long m_radice = 0;
    unsigned long m_danno = 0;
    int m_baseDanni = 0;
    bool m_pronto = false;
    QHash<unsigned long, QRect> m_geometrie; // top-level windows as created and configured
    QSet<unsigned long> m_mappate; // top-level windows mapped, menus and tooltips left out
    std::deque<Evento> m_coda;
};
