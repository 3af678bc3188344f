// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The look the window is designed for, applied once to the application before any window
// exists: its name, the style, the 8-point dialog font, and Qt's own words in Italian on an
// Italian desktop.
void ImpostaAspetto();

// The family of the window's fonts: "Arial" where it is installed, else Liberation Sans, which
// has Arial's metrics, so that text wraps as designed. Only an installed family is named: a
// missing one would cost a search for substitutes on the way to the first frame.
QString FamigliaArial();
