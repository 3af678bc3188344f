// SPDX-License-Identifier: GPL-3.0-or-later
#include "FiltroMessaggi.h"

#include <QString>

#include <atomic>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_LINUX
#include <pthread.h>
#endif

namespace {

std::atomic<QtMessageHandler> precedente { nullptr };
std::atomic<bool> installato { false };
thread_local bool threadSilenzioso = false;

// The PulseAudio client calls back from a thread of its own, which it names so.
bool ThreadDelClientAudio()
{
#ifdef Q_OS_LINUX
    char nome[16] = {};
    return pthread_getname_np(pthread_self(), nome, sizeof nome) == 0
        && std::strcmp(nome, "threaded-ml") == 0;
#else
    return false;
#endif
}

} // namespace

void FiltroMessaggi::Installa()
{
    if (installato.exchange(true))
        return;
    precedente = qInstallMessageHandler(&FiltroMessaggi::Gestore);
}

void FiltroMessaggi::SegnaThreadCorrente()
{
    threadSilenzioso = true;
}

void FiltroMessaggi::Gestore(
    QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo)
{
    // A fatal message is the last word before an abort and must be seen.
    if (tipo != QtFatalMsg && (threadSilenzioso || ThreadDelClientAudio()))
        return;
    if (const QtMessageHandler avanti = precedente.load()) {
        avanti(tipo, contesto, testo);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(tipo, contesto, testo)));
}
