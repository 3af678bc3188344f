// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

const wchar_t* FamigliaArial();
HFONT Arial(int centesimiDiPunto, bool grassetto, int dpi);
