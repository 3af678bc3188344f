// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// The one sound of the program, played from memory. Every function here is called on the
// user-interface thread, after the application object exists, and none ever reports an error:
// whatever fails gives silence.
namespace Module1 {

// The complete WAVE image of the last sound asked for, as stored, header and pad byte included.
// The sound thread keeps its own reference to the bytes it plays, so a new image never changes
// a sound that is still playing.
extern QByteArray DatiSuono;

// Starts the "CUSTOM" sound resource with this number and returns at once, after running the
// window events that are pending; the sound plays on in the background. A new call cuts the
// sound that is playing. A number without a resource changes nothing.
void RiproduciSuono(int id);

// What RiproduciSuono does once it has the bytes of the resource: any image, well formed or
// not, becomes DatiSuono; only a playable one is heard.
void RiproduciImmagine(const QByteArray& immagine);

// Loads the sound stack in the background and connects to the sound server, so that the first
// sound starts as fast as the others. Optional; meant for when the window is idle. Only the first
// call does anything.
void Prepara();

// Stops the sound and closes the sound stack; later calls stay silent. The application calls it
// on its way out. With PulseAudio it also runs by itself when the event loop quits, when the
// application object is destroyed and from exit(): a stream still playing while the process
// ends can abort the sound client.
void Chiudi();

// True while a sound or a stop asked for has yet to reach the sound thread's player.
bool InAttesa();

} // namespace Module1
