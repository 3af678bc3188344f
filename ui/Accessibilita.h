// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Makes the window's own controls speak to screen readers as ContenitoreAccessibile,
// FiguraAccessibile and OpzioneAccessibile say. Once per program; later calls do nothing.
void InstallaAccessibilita();
