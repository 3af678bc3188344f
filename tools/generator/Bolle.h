// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// The sound of a sinking run: a complete 40272-byte RIFF WAVE image (PCM, 8 bits, mono,
// 11025 Hz), pad byte included.
QByteArray SuonoBolle();
