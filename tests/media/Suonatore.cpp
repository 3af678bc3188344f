// SPDX-License-Identifier: GPL-3.0-or-later
// A small program that plays a sound through Module1 and then leaves in the way it is told,
// so that tests can watch what a whole process does: what it prints, how long it takes, and
// how it exits.
//
//   suonatore <101 | file.wav> <quit | exit | ritorno | avviso | comandi> <ms> [prepara | raffica]
//
// quit: the event loop ends after ms; exit: exit(0) from a timer after ms; ritorno: main
// returns after ms without having run the application's event loop; avviso: like quit, with
// one warning of the program's own right after the sound started; comandi: the sound again for
// every line on the standard input, each answered by "suonato" on the standard output once the
// call has returned, until the input ends. With prepara the sound stack is warmed up first, and
// the sound asked for while that may still be going on. With raffica the sound is asked for 2000
// times in a row, as fast as the calls return.
// Exit status 0, or 2 when RiproduciSuono took longer than 500 ms to return.

#include "Module1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    const QString modo = argomenti.value(4);
    if (argomenti.size() != 4
        && !(argomenti.size() == 5 && (modo == "prepara" || modo == "raffica")))
        return 64;
    if (modo == QLatin1String("prepara"))
        Module1::Prepara();
    const int volte = modo == QLatin1String("raffica") ? 2000 : 1;
    const QString sorgente = argomenti.at(1);
    const QString uscita = argomenti.at(2);
    const int ms = argomenti.at(3).toInt();

    QElapsedTimer cronometro;
    cronometro.start();
    QByteArray immagine;
    if (sorgente != QLatin1String("101")) {
        QFile file(sorgente);
        if (!file.open(QIODevice::ReadOnly))
            return 66;
        immagine = file.readAll();
    }
    const auto suona = [&immagine] {
        if (immagine.isEmpty())
            Module1::RiproduciSuono(101);
        else
            Module1::RiproduciImmagine(immagine);
    };
    if (uscita == QLatin1String("comandi")) {
        QSocketNotifier ingresso(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(&ingresso, &QSocketNotifier::activated, [&suona] {
            char riga[256];
            const ssize_t letti = ::read(STDIN_FILENO, riga, sizeof riga);
            if (letti <= 0) {
                QCoreApplication::quit();
                return;
            }
            for (ssize_t i = 0; i < letti; ++i) {
                if (riga[i] == '\n') {
                    suona();
                    std::fputs("suonato\n", stdout);
                    std::fflush(stdout);
                }
            }
        });
        return app.exec();
    }
    for (int volta = 0; volta < volte; ++volta)
        suona();
    const bool lento = cronometro.elapsed() > 500 * volte;
    const int stato = lento ? 2 : 0;

    if (uscita == QLatin1String("avviso"))
        qWarning("avviso del programma");
    if (uscita == QLatin1String("ritorno")) {
        QEventLoop attesa;
        QTimer::singleShot(ms, &attesa, &QEventLoop::quit);
        attesa.exec();
        return stato;
    }
    if (uscita == QLatin1String("exit"))
        QTimer::singleShot(ms, [stato] { std::exit(stato); });
    else
        QTimer::singleShot(ms, &app, [stato] { QCoreApplication::exit(stato); });
    return app.exec();
}
