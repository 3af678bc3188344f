// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuoco.h"

#include <algorithm>
#include <utility>

void Fuoco::Imposta(HWND form, HWND predefinito, std::vector<std::vector<HWND>> posti)
{
    m_form = form;
    m_predefinito = predefinito;
    m_posti = std::move(posti);
}

Posto Fuoco::PostoDi(HWND controllo) const
{
    for (const auto& [posto, finestre] : m_luoghi)
        if (std::count(finestre.begin(), finestre.end(), controllo))
            return posto;
    return Posto::Nessuno;
}

HWND Fuoco::Hwnd(Posto posto) const
{
    const auto luogo = m_luoghi.find(posto);
    if (luogo == m_luoghi.end() || luogo->second.empty())
        return nullptr;
    for (HWND bottone : luogo->second)
        if (SendMessageW(bottone, BM_GETCHECK, 0, 0) == BST_CHECKED)
            return bottone;
    return luogo->second.front();
}

void Fuoco::Premi() const
{
    if (GetFocus() == m_predefinito && IsWindowEnabled(m_predefinito))
        SendMessageW(m_predefinito, BM_CLICK, 0, 0);
}

HWND Fuoco::DaRendere() const
{
    const auto pronto = [](HWND hwnd) { return IsWindowVisible(hwnd) && IsWindowEnabled(hwnd); };
    if (m_salvato && IsChild(m_form, m_salvato) && pronto(m_salvato))
        return m_salvato;
    if (pronto(m_predefinito))
        return m_predefinito;
    const std::vector<Voce> ordine = OrdineTab();
    return ordine.empty() ? nullptr : ordine.front().hwnd;
}

void Fuoco::Ricorda()
{
    const HWND fuoco = GetFocus();
    if (fuoco && IsChild(m_form, fuoco))
        m_salvato = fuoco;
}

void Fuoco::Dai(HWND controllo)
{
    m_salvato = controllo;
    // Not when another window is active: the focus would take the activation with it.
    if (controllo && GetActiveWindow() == m_form)
        SetFocus(controllo);
}

std::vector<Fuoco::Voce> Fuoco::OrdineTab() const
{
    std::vector<Voce> ordine;
    for (const std::vector<HWND>& posto : m_posti) {
        HWND hwnd = posto.front();
        if (posto.size() > 1)
            for (HWND bottone : posto)
                if (SendMessageW(bottone, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    hwnd = bottone;
        if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
            ordine.push_back({ hwnd, &posto });
    }
    return ordine;
}

void Fuoco::Sposta(bool avanti)
{
    const HWND fuoco = GetFocus();
    if (m_primaDelTab)
        if (const HWND dove = Hwnd(m_primaDelTab(PostoDi(fuoco), avanti))) {
            SetFocus(dove);
            return;
        }
    const std::vector<Voce> ordine = OrdineTab();
    if (ordine.empty())
        return;
    const auto qui = std::find_if(ordine.begin(), ordine.end(), [fuoco](const Voce& voce) {
        return std::count(voce.posto->begin(), voce.posto->end(), fuoco) > 0;
    });
    std::size_t prossimo = 0;
    if (qui != ordine.end()) {
        const std::size_t posto = std::size_t(qui - ordine.begin());
        prossimo
            = avanti ? (posto + 1) % ordine.size() : (posto + ordine.size() - 1) % ordine.size();
    } else if (!avanti) {
        prossimo = ordine.size() - 1;
    }
    SetFocus(ordine[prossimo].hwnd);
}

bool Fuoco::PreTraduci(MSG& messaggio)
{
    Ricorda();
    if (messaggio.message == WM_KEYDOWN && messaggio.wParam == VK_TAB
        && (messaggio.hwnd == m_form || IsChild(m_form, messaggio.hwnd))
        && !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000)) {
        Sposta(!(GetKeyState(VK_SHIFT) & 0x8000));
        return true;
    }
    return IsDialogMessageW(m_form, &messaggio);
}

void Fuoco::ApriPannello(HWND pannello, HWND freccia)
{
    ShowWindow(pannello, SW_SHOWNA);
    NotifyWinEvent(EVENT_SYSTEM_DIALOGSTART, pannello, OBJID_CLIENT, CHILDID_SELF);
    Dai(freccia);
}

void Fuoco::ChiudiPannello(HWND pannello, HWND dove)
{
    const bool conFuoco = IsChild(pannello, GetFocus());
    ShowWindow(pannello, SW_HIDE);
    NotifyWinEvent(EVENT_SYSTEM_DIALOGEND, pannello, OBJID_CLIENT, CHILDID_SELF);
    if (conFuoco)
        Dai(dove ? dove : DaRendere());
}
