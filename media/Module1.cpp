// SPDX-License-Identifier: GPL-3.0-or-later
#include "Module1.h"

#include "LettoreWave.h"
#include "Risorse.h"

#include <QCoreApplication>

#include "InterfacciaSuono.h"

#include <QDir>
#include <QLibrary>
#include <QThreadPool>

#include <mutex>

QByteArray Module1::DatiSuono;

namespace {

// The module sits in the library folder, found from the program's own folder by the same
// relative path in the build tree and once installed.
QString PercorsoModulo()
{
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral(IDROVELA_CARTELLA_SUONO "/" IDROVELA_FILE_SUONO));
}

struct Caricamento {
    std::mutex mutex;
    bool tentato = false;
    const InterfacciaSuono* interfaccia = nullptr;
};

Caricamento& StatoCaricamento()
{
    static Caricamento caricamento;
    return caricamento;
}

bool chiuso = false; // user-interface thread only

const InterfacciaSuono* Carica(const QString& percorso)
{
    // Never unloaded: its thread and its handlers live until the process ends.
    static QLibrary libreria;
    libreria.setFileName(percorso);
    const auto funzione = reinterpret_cast<FunzioneInterfacciaSuono>(
        libreria.resolve(NomeFunzioneInterfacciaSuono));
    const InterfacciaSuono* interfaccia = funzione ? funzione() : nullptr;
    if (!interfaccia || interfaccia->versione != InterfacciaSuono::Versione)
        return nullptr;
    return interfaccia;
}

// Loads the module once; a second caller waits for the first. Null when it is missing.
const InterfacciaSuono* Interfaccia(const QString& percorso)
{
    Caricamento& caricamento = StatoCaricamento();
    const std::lock_guard blocco(caricamento.mutex);
    if (!caricamento.tentato) {
        caricamento.interfaccia = Carica(percorso);
        caricamento.tentato = true;
    }
    return caricamento.interfaccia;
}

void ChiudiAllUscita()
{
    Module1::Chiudi();
}

// However the program ends, the sound is stopped first: by the end of the event loop or by the
// destruction of the application object; the module itself takes care of exit().
void AgganciaUscita()
{
    static bool agganciato = false;
    if (agganciato)
        return;
    agganciato = true;
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
        QCoreApplication::instance(), &ChiudiAllUscita, Qt::DirectConnection);
    qAddPostRoutine(&ChiudiAllUscita);
}

// The module, loaded on first use, or null when the sound is closed or the module missing.
const InterfacciaSuono* Suono()
{
    if (chiuso || !QCoreApplication::instance())
        return nullptr;
    AgganciaUscita();
    return Interfaccia(PercorsoModulo());
}

} // namespace

void Module1::RiproduciSuono(int id)
{
    const QByteArray dati = Risorse::Dati(id, "CUSTOM");
    if (dati.isEmpty())
        return;
    RiproduciImmagine(dati);
}

void Module1::RiproduciImmagine(const QByteArray& immagine)
{
    // The sound thread keeps its own reference to the bytes it plays, so the old ones stay
    // alive, unchanged, until it has let them go. A new sound cuts the old one; an image that
    // cannot be played leaves silence.
    DatiSuono = immagine;
    const std::optional<LettoreWave::Campioni> campioni
        = LettoreWave::Leggi(DatiSuono.constData(), DatiSuono.size());
    if (const InterfacciaSuono* suono = Suono()) {
        if (campioni)
            suono->suona(DatiSuono, *campioni);
        else
            suono->ferma();
    }
    QCoreApplication::processEvents();
}

void Module1::Prepara()
{
    static bool preparato = false; // user-interface thread only
    if (preparato || chiuso || !QCoreApplication::instance())
        return;
    preparato = true;
    AgganciaUscita();
    // Loading the module costs more than a frame; a worker thread takes it, and the connection
    // to the sound server is then asked for from the user-interface thread, which owns the
    // module's state.
    QThreadPool::globalInstance()->start([percorso = PercorsoModulo()] {
        if (!Interfaccia(percorso))
            return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [] {
                if (const InterfacciaSuono* suono = Suono())
                    suono->prepara();
            },
            Qt::QueuedConnection);
    });
}

void Module1::Chiudi()
{
    if (chiuso)
        return;
    chiuso = true;
    Caricamento& caricamento = StatoCaricamento();
    const std::lock_guard blocco(caricamento.mutex);
    if (caricamento.interfaccia)
        caricamento.interfaccia->chiudi();
}

bool Module1::InAttesa()
{
    Caricamento& caricamento = StatoCaricamento();
    const std::lock_guard blocco(caricamento.mutex);
    return caricamento.interfaccia && !chiuso && caricamento.interfaccia->inAttesa();
}
