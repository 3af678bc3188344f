// SPDX-License-Identifier: GPL-3.0-or-later
// The program's sound alone, under Wine: the bubbling again for every line on the standard
// input, each answered by "suonato" on the standard output once the call has returned, until
// the input ends.
#include "Module1.h"

#include <cstdio>

int main()
{
    char riga[256];
    while (std::fgets(riga, sizeof riga, stdin)) {
        Module1::RiproduciSuono(101);
        std::fputs("suonato\n", stdout);
        std::fflush(stdout);
    }
    Module1::Ferma();
    return 0;
}
