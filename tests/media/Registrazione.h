// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QVector>

// What a sink really played, recorded from its monitor with parec, mono at 11025 Hz.
class Registrazione {
public:
    static constexpr int Frequenza = 11025;

    explicit Registrazione(QString monitor);
    ~Registrazione();

    // Starts parec and returns once samples flow, so that nothing played afterwards is missed.
    bool Avvia();
    // The samples recorded so far, from -1 to 1; the recording ends.
    QVector<float> Ferma();
    QString Errore() const { return m_errore; }

private:
    void Leggi();

    QString m_monitor;
    QProcess m_parec;
    QByteArray m_dati;
    QString m_errore;
};
