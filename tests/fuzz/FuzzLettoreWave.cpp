// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer's entry points: every input goes through ProvaWave, and anything it finds wrong
// stops the run, as a crash would, with the input kept by libFuzzer.
#include "ProvaWave.h"
#include "ServerDelRumore.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    UsaIlServerDelRumore();
    // The sound routine runs the application's pending events; libFuzzer's argc outlives it.
    static QCoreApplication applicazione(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione)
{
    const QString errore
        = ProvaWave(QByteArrayView(reinterpret_cast<const char*>(dati), qsizetype(dimensione)));
    if (!errore.isEmpty()) {
        std::fprintf(stderr, "ProvaWave: %s\n", qPrintable(errore));
        std::abort();
    }
    return 0;
}
