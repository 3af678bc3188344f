// SPDX-License-Identifier: GPL-3.0-or-later
// The part of CambiaColori that runs inside Idrovela's own process, as a hook on the messages
// its window receives: there it sets the system's colours, which Wine keeps per process, so
// that the window reads the new ones when it hears of the change, as it would on Windows.
#include "SchemiColori.h"

#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK Gancio(int codice, WPARAM w, LPARAM l)
{
    const auto* messaggio = reinterpret_cast<const CWPSTRUCT*>(l);
    if (codice == HC_ACTION && messaggio->message == SchemiColori::Messaggio) {
        const SchemiColori::Schema& schema = SchemiColori::Schemi[messaggio->wParam % 3];
        SetSysColors(int(schema.indici.size()), schema.indici.data(), schema.valori.data());
    }
    return CallNextHookEx(nullptr, codice, w, l);
}
