// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

// The system's measures at a window's DPI, on every Windows from 7 on.
int DpiDi(HWND hwnd); // the system's, for none
// The window's outer rectangle for a client rectangle, with its menu bar.
void AdattaRettangolo(RECT& rettangolo, DWORD stile, DWORD stileEsteso, int dpi);
int MetricaDi(int metrica, int dpi);
LOGFONTW FontDeiMessaggi(int dpi);
