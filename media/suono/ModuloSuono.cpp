// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point of the sound module, loaded by Module1 when a sound is first wanted.
#include "InterfacciaSuono.h"
#include "ServizioSuono.h"

namespace {

const InterfacciaSuono interfaccia {
    InterfacciaSuono::Versione,
    [] { ServizioSuono::Istanza().Prepara(); },
    [](const QByteArray& immagine, const LettoreWave::Campioni& campioni) {
        ServizioSuono::Istanza().Suona(immagine, campioni);
    },
    [] { ServizioSuono::Istanza().Ferma(); },
    [] { ServizioSuono::Istanza().Chiudi(); },
    [] { return ServizioSuono::Istanza().InAttesa(); },
};

} // namespace

extern "C" Q_DECL_EXPORT const InterfacciaSuono* idrovela_suono_interfaccia()
{
    return &interfaccia;
}
