// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor: the least Qt Widgets window of Idrovela's size, 474 x 418 with its two
// menus, and nothing in it. Idrovela's start-up and memory are compared with this.
//
// With --discesa it also holds an "OK" button and a grey block where Idrovela has them, and
// runs the same descent on its own: 58 ticks of a 30 ms timer moving the block 50 twips
// down, then a message box. Its steps, timed as Idrovela's, tell what the machine's own
// noise does to a descent.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace {

void Discesa(QWidget* client)
{
    auto* ok = new QPushButton(QStringLiteral("OK"), client);
    ok->setGeometry(304, 256, 161, 25);
    auto* corpo = new QWidget(client);
    corpo->setGeometry(112, 64, 64, 64);
    corpo->setAutoFillBackground(true);
    QPalette grigio = corpo->palette();
    grigio.setColor(QPalette::Window, Qt::darkGray);
    corpo->setPalette(grigio);

    auto* timer = new QTimer(client);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(30);
    auto top = std::make_shared<float>(960.0f); // in twips, like Idrovela's bodies
    const auto sposta = [corpo, top] { corpo->move(112, int(std::lround(*top / 15))); };
    QObject::connect(ok, &QPushButton::clicked, client, [=] {
        *top = 960.0f;
        sposta();
        timer->start();
        ok->setEnabled(false);
    });
    QObject::connect(timer, &QTimer::timeout, client, [=] {
        *top += 50.0f;
        sposta();
        if (*top <= 3840.0f)
            return;
        timer->stop();
        *top = 960.0f;
        sposta();
        // As Idrovela does: the window shows the block back at the top before the box.
        QCoreApplication::sendPostedEvents(client->window(), QEvent::UpdateRequest);
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Fine"),
            QStringLiteral("Il blocco è arrivato in fondo"), QMessageBox::Ok, client);
        box.exec();
        ok->setEnabled(true);
    });
}

} // namespace

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
    if (app.arguments().contains(QStringLiteral("--discesa")))
        Discesa(client);
    finestra.show();
    return app.exec();
}
