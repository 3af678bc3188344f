// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "ServerX.h"

// A private desktop for end-to-end tests: an Xvfb server on a display of its own, with a
// window manager that draws title bars and close boxes. The test process connects to it as
// well, to take screenshots; so it must exist before the QGuiApplication does.
class Scrivania {
public:
    explicit Scrivania(QSize schermo = QSize(1024, 768));
    ~Scrivania();
    Scrivania(const Scrivania&) = delete;
    Scrivania& operator=(const Scrivania&) = delete;

    bool pronta() const { return m_pronta; }
    QString display() const { return m_display; }

    // Starts the window manager; needs the test's QGuiApplication to exist.
    bool avviaWindowManager();

    // Runs xdotool with the arguments and returns what it printed; empty on failure, which is
    // kept in guastiXdotool(). A search that finds nothing is no failure.
    QString xdotool(const QStringList& argomenti, int attesaMs = 5000) const;
    QStringList guastiXdotool() const { return m_guasti; }
    // The id of the visible window with exactly this title, waiting up to attesaMs.
    QString cercaFinestra(const QString& titolo, int attesaMs = 10000) const;
    bool finestraEsiste(const QString& titolo) const;
    // For a test that found no window: every named window on the server, with its place, and
    // the failures of xdotool so far.
    QString elencoFinestre() const;
    // Waits until the window manager has framed the window and shows it.
    bool attendiGestita(const QString& finestra, int attesaMs = 10000) const;
    // The window's client area in screen coordinates, without the window manager's frame.
    QRect geometria(const QString& finestra) const;
    // Left, right, top and bottom widths of the frame the window manager put around it.
    QList<int> bordi(const QString& finestra) const;
    // Where the window manager draws the window's close box, at the right of its title bar.
    QPoint closeBox(const QString& finestra) const;
    void clic(QPoint punto) const;
    void tasto(const QString& tasto) const;
    QImage schermata() const;
    // Only a part of the screen, much quicker to take.
    QImage schermata(const QRect& zona) const;

    // Where the tests leave their screenshots: IDROVELA_ARTEFATTI, or "artefatti" here.
    static QDir cartellaArtefatti();

private:
    ServerX m_xvfb; // first: it is the last to go
    QString m_display;
    QProcess m_windowManager;
    QString m_cartellaWm;
    bool m_pronta = false;
    mutable QStringList m_guasti;
};

// The main function of a test case whose constructor takes the desktop: the desktop comes
// first, since the application connects to its display.
#define SCRIVANIA_MAIN(Test) SCRIVANIA_MAIN_SCHERMO(Test, 1024, 768)
#define SCRIVANIA_MAIN_SCHERMO(Test, larghezza, altezza)                                           \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        Scrivania scrivania(QSize(larghezza, altezza));                                            \
        QGuiApplication app(argc, argv);                                                           \
        Test test(scrivania);                                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
