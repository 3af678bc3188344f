// SPDX-License-Identifier: GPL-3.0-or-later
#include "Aspetto.h"
#include "Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ImpostaAspetto();
    Form1 form;
    form.show();
    return app.exec();
}
