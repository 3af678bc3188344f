// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The company that the version record names, chosen so that the record is exactly 616 bytes.
inline const QString AziendaVersione
    = QStringLiteral("Laboratorio Idrovela, sussidi didattici di fisica");

// The Windows version record of Idrovela 1.00, Italian, as a resource script includes it
// whole: the fixed part, then the translation, then one table of six strings. Every node is
// its length, the length of its value and its type (1: text) followed by its key, its value
// and the nodes it holds, each of these starting on a 32-bit boundary. A node's length covers
// the nodes it holds with their alignment; a leaf's ends with its value.
QByteArray RecordVersione(const QString& azienda = AziendaVersione);
