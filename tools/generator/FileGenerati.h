// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Every file that resources/ holds besides the hand-written resource scripts, by its path
// under resources/. An empty content means that a picture could not be put into its format.
QMap<QString, QByteArray> FileGenerati();
