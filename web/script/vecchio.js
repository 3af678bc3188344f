// SPDX-License-Identifier: GPL-3.0-or-later
// Written for any browser: where the page lacks what the program needs, or the program cannot
// start, the window gives way to a sentence that says which browsers run it.
/* global CreaIdrovela, Idrovela */
/* exported troppoVecchio */
var troppoVecchio = function () {
    var form1 = document.getElementById("form1");
    if (form1) form1.parentNode.removeChild(form1);
    document.getElementById("vecchio").hidden = false;
};
if (
    typeof Idrovela === "undefined" ||
    typeof CreaIdrovela === "undefined" ||
    typeof WebAssembly !== "object" ||
    typeof Promise === "undefined" ||
    typeof HTMLDialogElement === "undefined" ||
    !HTMLDialogElement.prototype.showModal
)
    troppoVecchio();
else Idrovela.avvia();
