// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// The seeds of the WAVE fuzzer, by file name: small images that the reader takes, and images
// broken in each way a header can be. tests/fuzz/corpus holds them as this makes them.
QList<std::pair<QString, QByteArray>> CorpusWave();
