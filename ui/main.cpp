// SPDX-License-Identifier: GPL-3.0-or-later
#include "Ambiente.h"
#include "Aspetto.h"
#include "Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    PreparaAmbiente();
    QApplication app(argc, argv);
    ImpostaAspetto();
    Form1 form;
    form.show();
    return app.exec();
}
