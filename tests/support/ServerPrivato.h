// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A PulseAudio server of one test's own, in a runtime folder of its own, with a null sink of
// this name as its default output: the test may stop it and start it again, which it must not
// do to the server that the test command shares among the tests. Stopped when destroyed.
class ServerPrivato {
public:
    explicit ServerPrivato(QString sink);
    ~ServerPrivato();
    ServerPrivato(const ServerPrivato&) = delete;
    ServerPrivato& operator=(const ServerPrivato&) = delete;

    // Returns once the server answers with the null sink as its default output, at once when
    // it already does.
    bool Avvia();
    // Returns once the server has gone, and its socket with it.
    bool Ferma();

    QString Sink() const { return m_sink; }
    QString Indirizzo() const; // for PULSE_SERVER
    // The system's environment with PULSE_SERVER set to this server.
    QProcessEnvironment Ambiente() const;
    // Starts "pactl subscribe" on this server: a line for every change, such as
    // "Event 'new' on sink-input #3" when a stream starts and 'remove' when it ends.
    bool AscoltaNotizie(QProcess& pactl) const;

    // Reads from the process until its standard output holds this text as many times as asked,
    // within 15 s; what it read stays in letto.
    static bool AttendiTesto(
        QProcess& processo, QByteArray& letto, const QByteArray& testo, int volte = 1);

    // Reads the notices of AscoltaNotizie until a stream that started since it was called has
    // ended, within 15 s. With soloCambiati only a stream that the server changed between its
    // start and its end counts: Wine's driver opens and closes a few unchanged to probe the
    // device, where its sound's stream is changed as it starts to play.
    static bool AttendiFineFlusso(QProcess& pactl, QByteArray& letto, bool soloCambiati = false);

private:
    bool Risponde();
    bool Esegui(
        const QString& programma, const QStringList& argomenti, QByteArray* uscita = nullptr);

    QString m_sink;
    QTemporaryDir m_cartella;
};
