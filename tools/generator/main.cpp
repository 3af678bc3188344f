// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    return 0;
}
