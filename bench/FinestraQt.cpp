// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor: the least Qt Widgets window of Idrovela's size, 474 x 418 with its two
// menus, and nothing in it. Idrovela's start-up and memory are compared with this.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow finestra;
    finestra.setWindowTitle(QStringLiteral("Finestra Qt"));
    QMenu* file = finestra.menuBar()->addMenu(QStringLiteral("File"));
    file->addAction(QStringLiteral("Esci"), &app, &QApplication::quit);
    finestra.menuBar()->addAction(QStringLiteral("?"));
    auto* client = new QWidget(&finestra);
    client->setFixedSize(474, 400);
    finestra.setCentralWidget(client);
    finestra.show();
    return app.exec();
}
