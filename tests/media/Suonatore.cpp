// SPDX-License-Identifier: GPL-3.0-or-later
// A small program that plays a sound through Module1 and then leaves in the way it is told,
// so that tests can watch what a whole process does: what it prints, how long it takes, and
// how it exits.
//
//   suonatore <101 | file.wav> <quit | exit | ritorno | avviso> <ms> [prepara]
//
// quit: the event loop ends after ms; exit: exit(0) from a timer after ms; ritorno: main
// returns after ms without having run the application's event loop; avviso: like quit, with
// one warning of the program's own right after the sound started. With prepara the sound
// stack is warmed up first, and the sound asked for while that may still be going on.
// Exit status 0, or 2 when RiproduciSuono took longer than 500 ms to return.

#include "Module1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cstdlib>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    if (argomenti.size() != 4 && !(argomenti.size() == 5 && argomenti.at(4) == "prepara"))
        return 64;
    if (argomenti.size() == 5)
        Module1::Prepara();
    const QString sorgente = argomenti.at(1);
    const QString uscita = argomenti.at(2);
    const int ms = argomenti.at(3).toInt();

    QElapsedTimer cronometro;
    cronometro.start();
    if (sorgente == QLatin1String("101")) {
        Module1::RiproduciSuono(101);
    } else {
        QFile file(sorgente);
        if (!file.open(QIODevice::ReadOnly))
            return 66;
        Module1::RiproduciImmagine(file.readAll());
    }
    const bool lento = cronometro.elapsed() > 500;
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
