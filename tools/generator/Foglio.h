// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>

// A contact sheet for reviewing the drawings: every picture among the generated files,
// enlarged four times without smoothing, over a checkerboard where it is transparent, with
// its resource number where the table gives it one (numeri: path -> number), its path and its
// size. Needs a running QGuiApplication for the lettering.
QImage FoglioProvini(
    const QMap<QString, QByteArray>& file, const QMap<QString, QString>& numeri = {});
