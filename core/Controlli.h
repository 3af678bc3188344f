// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The controls of the window that the experiment acts on, named as the window names them.
// The experiment never sees a widget: it names a control and the window does the rest.

enum class Immagine {
    imgGhiaccio,
    imgFerro,
    imgRame,
    imgLegno,
    imgLiquido,
    imgMateriale,
    imgContenitore,
};

enum class Etichetta {
    lblPSLiquido,
    lblPSMateriale,
};
