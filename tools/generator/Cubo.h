// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

enum class Materiale {
    Ghiaccio,
    Ferro,
    Rame,
    Legno,
};

// The material sample shown beside its density: one cube seen from above and from a front
// corner, on white. 46 x 46, copper 62 x 61; at a larger scale the same drawing that many
// times larger.
QImage CampioneMateriale(Materiale materiale, int scala = 1);

// The body that goes into the tank: the same cube in a 64 x 64 square, transparent around it,
// placed so that it sits on the tank's axis. The wooden body is coloured in salmon and grey.
QImage CorpoMateriale(Materiale materiale, int scala = 1);
