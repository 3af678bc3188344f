// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A Wine of its own for one test: a fresh prefix and home folder in a temporary folder, no
// debug output, no Mono or Gecko installer and no menu entries written into the real desktop.
// The Wine server ends by itself once the last program has left; the destructor waits for that
// (a server killed under running programs leaves them hung) and removes everything.
class PrefissoWine {
public:
    // display: the X server its programs show on; empty for none.
    explicit PrefissoWine(const QString& display = {});
    ~PrefissoWine();
    PrefissoWine(const PrefissoWine&) = delete;
    PrefissoWine& operator=(const PrefissoWine&) = delete;

    // Creates the prefix (wineboot, about 20 s) and waits for its server to end.
    bool Prepara(int attesaMs = 180000);
    QString Errore() const { return m_errore; }
    QString Cartella() const { return m_cartella.path(); }
    QProcessEnvironment Ambiente() const { return m_ambiente; }

    // A program under Wine, started; the QProcess's exit code is the Windows program's.
    std::unique_ptr<QProcess> Avvia(const QString& programma, const QStringList& argomenti = {});
    // What became of a program started so, for a test whose wait for it failed: running, or
    // how it ended, the last lines it wrote, and every process of this prefix with its state.
    QString Racconta(QProcess& processo) const;

    struct Esito {
        int stato = -1; // -1: it did not end in time, or crashed
        QByteArray uscita; // standard output and error together
    };
    // A program under Wine, run to its end within attesaMs.
    Esito Esegui(const QString& programma, const QStringList& argomenti = {}, int attesaMs = 60000);
    // "wine reg query" of a key; stato 0 when the key exists.
    Esito Registro(const QString& chiave, const QString& valore = {});

    // Where a Windows path of drive C: is on this machine ("C:\Program Files" ->
    // <prefix>/drive_c/Program Files).
    QString PercorsoUnix(const QString& percorsoWindows) const;

    // The screen's dots per inch for the programs started from now on, as the user's display
    // settings give it; the server must have ended for them to read it anew.
    bool ImpostaDpi(int dpi);

    // Waits for the Wine server to end once its last program has left.
    bool AttendiServer(int attesaMs = 30000);

private:
    QString Processi() const;
    Esito Attendi(QProcess& processo, int attesaMs);

    QTemporaryDir m_cartella;
    QProcessEnvironment m_ambiente;
    QString m_errore;
};
