// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

// Puts one image, whatever its bytes, through the WAVE reader and through the sound routine's
// loading path, and checks what must hold for any image: the reader finds samples only inside
// it and as the header describes them, reads bytes after the RIFF chunk as nothing, and the
// routine keeps the image byte for byte. Returns what did not hold, or nothing. Needs the
// application object; a read outside the image is for the sanitizer to catch.
QString ProvaWave(QByteArrayView immagine);
