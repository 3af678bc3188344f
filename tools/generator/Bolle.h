// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// The bubbling of a body that sinks into water, 3.648 s long: a complete RIFF WAVE image
// (PCM, 8 bits unsigned, mono, 11025 Hz, with a "fact" chunk and the pad byte of its
// odd-sized data), the same bytes on every call and every machine.
QByteArray SuonoBolle();
