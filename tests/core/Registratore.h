// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"
#include "Vista.h"

#include <QStringList>
#include <QTest>

#include <functional>
#include <map>

// A window that only writes down what the experiment asks of it, in order, and keeps the
// little state a real window would (tops, visibility, the timer and "OK"), starting from the
// design state: bodies hidden, copper on the floor and the others at the surface.
class Registratore : public Vista {
public:
    void ImpostaVisibile(Immagine img, bool visibile) override
    {
        visibili[img] = visibile;
        chiamate << (visibile ? "mostra " : "nascondi ") + QLatin1String(Nome(img));
    }
    void ImpostaTop(Immagine img, float top) override
    {
        tops[img] = top;
        chiamate << QString("top %1 %2").arg(QLatin1String(Nome(img))).arg(double(top));
    }
    void CaricaBitmap(Immagine img, int id) override
    {
        chiamate << QString("bitmap %1 %2").arg(QLatin1String(Nome(img))).arg(id);
    }
    void ImpostaCaption(Etichetta lbl, const std::string& testo) override
    {
        captions[lbl] = QString::fromStdString(testo);
        chiamate << "caption " + QLatin1String(Nome(lbl)) + " " + captions[lbl];
    }
    void AbilitaCommand1(bool abilitato) override
    {
        okAbilitato = abilitato;
        chiamate << (abilitato ? "Command1 on" : "Command1 off");
    }
    void AbilitaTimer(bool abilitato) override
    {
        timerAttivo = abilitato;
        chiamate << (abilitato ? "timer on" : "timer off");
    }
    void Beep() override { chiamate << "beep"; }
    void MsgBox(const std::string& testo, const std::string& titolo) override
    {
        // No tick may run while a verdict is open: the timer must be off by now.
        QVERIFY2(!timerAttivo, "a message box was shown with the timer running");
        chiamate << "msgbox " + QString::fromStdString(titolo) + ": "
                + QString::fromStdString(testo);
        if (duranteMsgBox)
            duranteMsgBox();
    }
    void RiproduciSuono(int id) override { chiamate << QString("suono %1").arg(id); }
    void MostraPannello(Pannello pannello, bool aperto) override
    {
        chiamate << (aperto ? "apri " : "chiudi ") + QLatin1String(Nome(pannello));
        if (dopoPannello)
            dopoPannello(pannello, aperto);
    }
    bool Domanda(const std::string& testo, const std::string& titolo) override
    {
        chiamate << "domanda " + QString::fromStdString(titolo) + ": "
                + QString::fromStdString(testo);
        return risposta;
    }
    void Termina() override { chiamate << "termina"; }

    // The calls made since the last look, and a fresh start for the next step.
    QStringList Prendi() { return std::exchange(chiamate, {}); }

    QStringList chiamate;
    std::map<Immagine, float> tops { { Immagine::imgGhiaccio, 960.0f },
        { Immagine::imgFerro, 960.0f }, { Immagine::imgRame, 3840.0f },
        { Immagine::imgLegno, 960.0f } };
    std::map<Immagine, bool> visibili;
    std::map<Etichetta, QString> captions;
    bool okAbilitato = false;
    bool timerAttivo = false;
    std::function<void(Pannello, bool)> dopoPannello; // as a window asks the core meanwhile
    std::function<void()> duranteMsgBox;
    bool risposta = false; // to every question
};
