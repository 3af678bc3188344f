// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The one sound of the program, played from memory by the system. Called on the
// user-interface thread only; nothing here ever reports an error: whatever fails is silence.
namespace Module1 {

// The complete WAVE image of the last sound asked for, as stored in the resource. The system
// plays from a copy of its own.
extern std::string DatiSuono;

// Starts the "CUSTOM" resource with this number and returns at once, after running the window
// messages that are pending; the sound plays on in the background and a new call cuts it. A
// number without a resource changes nothing; an image our reader refuses is not played.
void RiproduciSuono(int id);

// Stops the sound, if one plays, waiting for the system within a bound.
void Ferma();

} // namespace Module1
