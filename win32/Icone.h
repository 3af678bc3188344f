// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DisegniForm.h"

#include <windows.h>

HICON Icona(const DisegniForm::Disegno& disegno);
// The bust at the size the title bar or the taskbar asks for.
HICON IconaBusto(HINSTANCE istanza, int lato);
