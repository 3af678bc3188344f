// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Before the application exists: a session without a runtime folder (a root shell, some
// kiosks) gets a private one, the one Qt itself would fall back to, so that Qt has nothing
// to say about it on the console; what it might still say about that folder is kept off the
// console too.
void PreparaAmbiente();
