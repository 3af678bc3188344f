// SPDX-License-Identifier: GPL-3.0-or-later
#include "Voci.h"

#include "Accessibile.h"
#include "Esperimento.h"
#include "Figura.h"
#include "Finestra.h"
#include "Lettura.h"
#include "Riquadro.h"
#include "Testo.h"

#include <commctrl.h>

Voci::Voci(const Esperimento& esperimento, const Finestra& finestra)
    : m_esperimento(esperimento)
    , m_finestra(finestra)
{
}

void Voci::SeguiOpzione(HWND opzione, Etichetta densita)
{
    m_opzioni[opzione] = densita;
    SetWindowSubclass(opzione, Opzione, 0, DWORD_PTR(this));
}

void Voci::Nomina(
    const std::function<Figura*(Immagine)>& picture, Figura* freccia3, Figura* freccia4) const
{
    const auto nomina = [](Figura* figura, const std::string& nome) {
        SetWindowTextW(figura->hwnd(), Largo(nome.c_str()).c_str());
    };
    const StatoEsperimento& stato = m_esperimento.Stato();
    nomina(picture(Immagine::imgContenitore), Lettura::NomeVasca(stato));
    nomina(picture(Immagine::imgLiquido), Lettura::NomeCampione(stato, Etichetta::lblPSLiquido));
    nomina(
        picture(Immagine::imgMateriale), Lettura::NomeCampione(stato, Etichetta::lblPSMateriale));
    for (Immagine corpo :
        { Immagine::imgGhiaccio, Immagine::imgFerro, Immagine::imgRame, Immagine::imgLegno })
        nomina(picture(corpo), Lettura::NomeCorpo(corpo));
    nomina(freccia3, Lettura::NomeFreccia);
    nomina(freccia4, Lettura::NomeFreccia);
}

void Voci::Descrivi(Pannello pannello, Riquadro* riquadro, Figura* freccia)
{
    const std::wstring testo = Largo(Lettura::TestoPannello(pannello).c_str());
    riquadro->ImpostaDialogo(Largo(Lettura::NomePannello(pannello)), testo);
    freccia->setDescrizione(testo);
}

std::wstring Voci::Descrizione(HWND opzione) const
{
    const auto voce = m_opzioni.find(opzione);
    if (voce == m_opzioni.end() || SendMessageW(opzione, BM_GETCHECK, 0, 0) != BST_CHECKED)
        return {};
    const Posto gruppo = voce->second == Etichetta::lblPSLiquido ? Posto::Option1 : Posto::Option2;
    const bool conOk = GetFocus() == opzione && m_finestra.AvvisaOk(gruppo);
    return Largo(Lettura::DescrizioneScelta(m_esperimento, voce->second, conOk).c_str());
}

LRESULT CALLBACK Voci::Opzione(
    HWND hwnd, UINT messaggio, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR voci)
{
    if (messaggio == WM_GETOBJECT && LONG(l) == OBJID_CLIENT) {
        const auto* proprie = reinterpret_cast<const Voci*>(voci);
        Accessibile accessibile;
        accessibile.descrizione = [proprie, hwnd] { return proprie->Descrizione(hwnd); };
        return accessibile.Rispondi(hwnd, w, l);
    }
    if (messaggio == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, Opzione, 0);
    return DefSubclassProc(hwnd, messaggio, w, l);
}
