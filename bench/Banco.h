// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Figlio.h"
#include "Osservatore.h"
#include "ServerX.h"
#include "Statistica.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cmath>
#include <map>
#include <memory>
#include <optional>

// Idrovela's figures next to its baselines, all on one private X server: start-up to the
// first paint and peak memory (against a bare Qt window and a bare Xlib window, run by run in
// turn so that the machine's noise falls on all alike), the descent, a choice, the idle
// window, and the sound (through idrovela-bench-suono). Prints a table, then one line of JSON.
class Banco {
public:
    struct Opzioni {
        QString cartella; // where idrovela and the benchmark's programs are
        bool rapido = false; // a few repetitions only, to prove that it all still runs
        QStringList sezioni; // avvio, discesa, inattivo, suono, windows; empty: all of them
        // Where tools/windows.sh built the Windows program; empty: no Windows figures.
        QString windows;
    };

    explicit Banco(Opzioni opzioni);

    // Runs every measurement; the exit status: 0, or 1 when a measurement could not be taken.
    int Esegui();

private:
    // The three programs started and compared.
    enum class Programma {
        Idrovela,
        FinestraQt,
        FinestraX,
    };
    static constexpr Programma Programmi[] { Programma::Idrovela, Programma::FinestraQt,
        Programma::FinestraX };
    static const char* Chiave(Programma programma);
    QString Percorso(Programma programma) const;

    // A started program's main window, once it has shown its first pixels.
    struct Finestra {
        unsigned long id = 0;
        QRect area; // on the screen
        QRect client; // the client area below the menu bar, on the screen
        qint64 mappaNs = 0; // from the start to the map
        qint64 disegnoNs = 0; // from the start to the first pixels drawn in it
        qint64 cpuNs = 0; // the CPU time it had used by then, all threads
    };
    std::optional<Finestra> PrimoDisegno(Figlio& figlio);
    std::optional<Finestra> AvviaEAttendi(Figlio& figlio);

    void Avvii();
    void Scelte(const Finestra& finestra);
    // The figures of the descents of one program.
    struct Corse {
        Statistica durata; // ms from "OK" released to the verdict's first paint
        Statistica ultimoPasso; // ms from "OK" released to the last step's paint
        Statistica passo; // ms between the paints of successive steps
        Statistica passi; // steps painted per run
        QJsonArray lenti; // the intervals over 35 ms, with the step that ended them
        QJsonObject Json() const;
    };
    void Discese();
    void DisceseIdrovela();
    void DisceseQt();
    bool UnaDiscesa(const Finestra& finestra, Corse& corse);
    void Inattivita();
    struct Consumo {
        double cpuMs = 0; // scheduler's run time of all threads
        double cpuStatMs = 0; // utime + stime, to the clock tick
        qint64 risvegli = 0;
        QJsonObject perFilo; // thread name: wake-ups, for the threads that woke
    };
    struct Istantanea {
        std::vector<Figlio::Filo> fili;
        double cpuStatMs = 0;
    };
    static Istantanea Fotografa(const Figlio& figlio);
    static Consumo Differenza(const Istantanea& prima, const Istantanea& dopo);
    void Suono();
    // The Windows program under Wine: start-up against a bare Win32 window, sizes, and
    // sndPlaySoundA's return time.
    void Windows();

    void Stampa() const;
    QJsonObject Json() const;
    // Lets time pass, reading and dropping what the X server reports meanwhile.
    void Attendi(int ms);

    Opzioni m_opzioni;
    int m_giri; // start-up rounds
    int m_processiDiscesa;
    int m_discesePerProcesso;
    int m_giriInattivi;
    int m_durataInattivaMs;
    ServerX m_server;
    std::unique_ptr<Osservatore> m_osservatore;

    std::map<Programma, Statistica> m_avvio; // ms to the first paint
    std::map<Programma, Statistica> m_mappa; // ms to the map
    std::map<Programma, Statistica> m_cpuAvvio; // CPU ms used by the first paint
    std::map<Programma, Statistica> m_memoria; // VmHWM, MiB
    Statistica m_rapportoAvvioQt, m_rapportoAvvioX; // Idrovela's over the baseline's, per round
    Statistica m_rapportoMemoriaQt, m_rapportoMemoriaX;
    std::map<Programma, Statistica> m_cpuInattivo; // ms in the idle period
    std::map<Programma, Statistica> m_cpuStatInattivo;
    std::map<Programma, Statistica> m_risvegliInattivo;
    QJsonObject m_filiInattivi; // which threads woke, per program
    Statistica m_cpuDopoCorsa, m_risvegliDopoCorsa;
    QJsonObject m_filiDopoCorsa;
    Statistica m_primaScelta, m_scelta; // ms from the click to the tank repainted
    Corse m_discesa; // Idrovela's
    Corse m_discesaQt; // the same descent in the bare Qt window, in turn with Idrovela's
    QJsonObject m_suono; // idrovela-bench-suono's own figures
    // Under Wine: [0] Idrovela.exe, [1] the bare Win32 window.
    Statistica m_avvioWine[2], m_mappaWine[2];
    Statistica m_rapportoAvvioWine; // Idrovela.exe's over the bare window's, per round
    int m_giriWine;
    double m_preparazioneWineS = std::nan("");
    QJsonObject m_dimensioniWindows; // KiB of the .exe, the installer and the zip
    QJsonObject m_sndPlaySound; // idrovela-bench-sndplaysound's own figures
    QString m_carico; // the machine's load average before and after
    int m_errori = 0;
};
