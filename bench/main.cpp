// SPDX-License-Identifier: GPL-3.0-or-later
// Idrovela's benchmark; bench/run builds it with the program and runs it. Usage:
//   idrovela-bench [--quick] [--bin FOLDER] [--windows FOLDER] [--only SECTION,...]
// FOLDER holds idrovela and the benchmark's programs (by default, this program's own);
// --windows names where tools/windows.sh built the Windows program, measured under Wine. It
// needs Xvfb, and the private sound server of tools/with-sound-server.sh for the sound. The
// sections are avvio (start-up, memory, a choice), discesa (the descent, idle after a run),
// inattivo (idle), suono (the sound) and windows (the Windows program under Wine).

#include "Banco.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Banco::Opzioni opzioni;
    opzioni.cartella = QCoreApplication::applicationDirPath();
    const QStringList argomenti = app.arguments();
    for (int i = 1; i < argomenti.size(); ++i) {
        if (argomenti.at(i) == QLatin1String("--quick")) {
            opzioni.rapido = true;
        } else if (argomenti.at(i) == QLatin1String("--bin") && i + 1 < argomenti.size()) {
            opzioni.cartella = argomenti.at(++i);
        } else if (argomenti.at(i) == QLatin1String("--windows") && i + 1 < argomenti.size()) {
            opzioni.windows = argomenti.at(++i);
        } else if (argomenti.at(i) == QLatin1String("--only") && i + 1 < argomenti.size()) {
            opzioni.sezioni = argomenti.at(++i).split(QLatin1Char(','));
        } else {
            std::fprintf(stderr,
                "usage: %s [--quick] [--bin FOLDER] [--windows FOLDER] [--only SECTION,...]\n",
                qPrintable(argomenti.at(0)));
            return 64;
        }
    }
    return Banco(opzioni).Esegui();
}
