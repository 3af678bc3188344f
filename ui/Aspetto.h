// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The look the window is designed for, applied once to the application before any window
// exists: its name, the style and the 8-point dialog font.
void ImpostaAspetto();
