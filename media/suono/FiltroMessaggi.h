// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QMessageLogContext;
class QString;

// Keeps the multimedia library's messages off the console. Its PulseAudio code logs in the
// default category ("PulseAudioService: pa_context_connect() failed", "Stream error: ..."), so
// no category rule can tell them from the program's own warnings; what tells them apart is the
// thread they come from: the sound thread, or the sound client's own. Every other message goes
// on to the handler that was in place.
class FiltroMessaggi {
public:
    static void Installa(); // once; later calls do nothing
    static void SegnaThreadCorrente(); // the calling thread's messages are dropped from now on

private:
    static void Gestore(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo);
};
