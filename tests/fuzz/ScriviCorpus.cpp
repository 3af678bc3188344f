// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seeds of the WAVE fuzzer into a folder:  corpus-wave tests/fuzz/corpus
#include "CorpusWave.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 64;
    }
    const QDir cartella(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(cartella.path()))
        return 73;
    for (const auto& [nome, immagine] : CorpusWave()) {
        QFile file(cartella.filePath(nome));
        if (!file.open(QIODevice::WriteOnly) || file.write(immagine) != immagine.size())
            return 74;
    }
    return 0;
}
