// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
/* global Idrovela */
// The sound: the program's samples played through Web Audio, the beep, and the device opened at
// the pupil's first gesture.
Object.assign(Idrovela, {
    beep() {
        try {
            const a = this.audio;
            if (!a || a.state !== "running") return;
            const tono = a.createOscillator();
            const volume = a.createGain();
            tono.frequency.value = 880;
            volume.gain.setValueAtTime(0.2, a.currentTime);
            volume.gain.exponentialRampToValueAtTime(0.001, a.currentTime + 0.15);
            tono.connect(volume).connect(a.destination);
            tono.start();
            tono.stop(a.currentTime + 0.15);
        } catch {}
    },

    // Samples (a view on the program's memory) into a buffer played at once, replacing the
    // sound that plays. The system may have suspended the device since the last run (another
    // program took it, the tablet slept); the run's own gesture lets it resume, and the
    // buffer then plays from its start.
    suona(campioni, canali, frequenza, bit) {
        this.ferma();
        try {
            const a = this.audio;
            if (!a || a.state === "closed") return;
            if (a.state !== "running") a.resume().catch(() => {});
            const larghezza = (canali * bit) / 8;
            const fotogrammi = Math.floor(campioni.length / larghezza);
            const buffer = a.createBuffer(canali, fotogrammi, frequenza);
            const dati = new DataView(campioni.buffer, campioni.byteOffset, campioni.length);
            for (let c = 0; c < canali; ++c) {
                const canale = buffer.getChannelData(c);
                for (let i = 0; i < fotogrammi; ++i) {
                    const posto = i * larghezza + (c * bit) / 8;
                    canale[i] =
                        bit === 8
                            ? (dati.getUint8(posto) - 128) / 128
                            : dati.getInt16(posto, true) / 32768;
                }
            }
            const sorgente = a.createBufferSource();
            sorgente.buffer = buffer;
            sorgente.connect(a.destination);
            sorgente.start();
            this.sorgente = sorgente;
        } catch {
            this.sorgente = null;
        }
    },

    ferma() {
        try {
            if (this.sorgente) this.sorgente.stop();
        } catch {}
        this.sorgente = null;
    },
});

// The sound device opens at the pupil's first gesture, the first moment the browser lets it
// play (opened earlier, it would only complain on the console): a run needs a liquid and a
// material chosen before "OK", so the device is ready by the time the first sound is asked for.
// Where the browser cannot say whether a gesture lets it play (Firefox before 120, Safari before
// 16.4), every gesture is taken to.
const apriAudio = evento => {
    const attivo = navigator.userActivation ? navigator.userActivation.isActive : evento.isTrusted;
    if (Idrovela.terminato || !attivo) return;
    try {
        if (!Idrovela.audio) Idrovela.audio = new AudioContext();
        else if (Idrovela.audio.state === "suspended") Idrovela.audio.resume().catch(() => {});
    } catch {}
};
// Pointers and clicks are heard on the window, not on the document: a screen reader takes a
// listener for clicks on an ancestor as a sign that every control in it is clickable, and says
// so of each ("elemento con clic").
for (const gesto of ["pointerdown", "pointerup", "keydown", "touchend", "click"])
    addEventListener(gesto, apriAudio, { capture: true });
