// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The one sound of the program, played from memory through the browser's audio. Nothing here
// ever reports an error: whatever fails is silence.
namespace Module1 {

// The complete WAVE image of the last sound asked for, as stored in the resource table.
extern std::string DatiSuono;

// Starts the "CUSTOM" resource with this number and returns at once; the sound plays on and a
// new call cuts it. A number without a resource, or an image our reader refuses, is silence.
void RiproduciSuono(int id);

// Stops the sound, if one plays.
void Ferma();

} // namespace Module1
