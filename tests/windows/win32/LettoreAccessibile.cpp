// SPDX-License-Identifier: GPL-3.0-or-later
// LettoreAccessibile: Idrovela's window as a screen reader reads it, through the system's
// accessibility interfaces, printed in UTF-8 one thing a line.
//   albero        where the focus is, the stacking of each frame's children, then the tree of
//                 visible objects: role, name, description, default action
//   premi NOME    performs the default action of the first visible object of that name
//   eventi        prints "pronto", then the window's accessibility events as they come, until
//                 the window is gone
#include <initguid.h>

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <utility>
#include <vector>

namespace {

HWND finestra = nullptr;
DWORD programma = 0; // the process of the window

void Scrivi(const std::wstring& riga)
{
    const std::wstring testo = riga + L"\n";
    const int n = WideCharToMultiByte(
        CP_UTF8, 0, testo.c_str(), int(testo.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(
        CP_UTF8, 0, testo.c_str(), int(testo.size()), utf8.data(), n, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

std::wstring Classe(HWND hwnd)
{
    wchar_t classe[64] {};
    GetClassNameW(hwnd, classe, 64);
    return classe;
}

std::wstring TestoDi(HWND hwnd)
{
    wchar_t testo[256] {};
    GetWindowTextW(hwnd, testo, 256);
    return testo;
}

std::wstring Finestra(HWND hwnd)
{
    if (!hwnd)
        return L"nessuna";
    return Classe(hwnd) + L" \"" + TestoDi(hwnd) + L"\"";
}

VARIANT Se()
{
    VARIANT se {};
    se.vt = VT_I4;
    se.lVal = CHILDID_SELF;
    return se;
}

std::wstring Stringa(
    IAccessible* oggetto, HRESULT (STDMETHODCALLTYPE IAccessible::*leggi)(VARIANT, BSTR*))
{
    BSTR testo = nullptr;
    std::wstring valore;
    if ((oggetto->*leggi)(Se(), &testo) == S_OK && testo)
        valore = testo;
    SysFreeString(testo);
    return valore;
}

LONG Numero(
    IAccessible* oggetto, HRESULT (STDMETHODCALLTYPE IAccessible::*leggi)(VARIANT, VARIANT*))
{
    VARIANT valore {};
    if ((oggetto->*leggi)(Se(), &valore) != S_OK || valore.vt != VT_I4)
        return -1;
    return valore.lVal;
}

std::wstring Descrivi(IAccessible* oggetto)
{
    std::wstring riga = L"ruolo=" + std::to_wstring(Numero(oggetto, &IAccessible::get_accRole))
        + L" \"" + Stringa(oggetto, &IAccessible::get_accName) + L"\"";
    const std::wstring descrizione = Stringa(oggetto, &IAccessible::get_accDescription);
    if (!descrizione.empty())
        riga += L" descrizione=\"" + descrizione + L"\"";
    const std::wstring azione = Stringa(oggetto, &IAccessible::get_accDefaultAction);
    if (!azione.empty())
        riga += L" azione=\"" + azione + L"\"";
    return riga;
}

IAccessible* Client(HWND hwnd)
{
    IAccessible* oggetto = nullptr;
    if (FAILED(AccessibleObjectFromWindow(
            hwnd, DWORD(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&oggetto))))
        return nullptr;
    return oggetto;
}

// Visits the visible objects under one, depth first in the order the object gives them; a
// child window stands for its client area, as a screen reader shows it. Stops when visita
// says so.
template <typename Visita> bool Percorri(IAccessible* oggetto, int livello, Visita&& visita)
{
    if (!visita(oggetto, livello))
        return false;
    HWND proprio = nullptr;
    WindowFromAccessibleObject(oggetto, &proprio);
    LONG n = 0;
    if (FAILED(oggetto->get_accChildCount(&n)) || n <= 0 || livello > 8)
        return true;
    std::vector<VARIANT> figli(static_cast<std::size_t>(n));
    LONG ottenuti = 0;
    if (FAILED(AccessibleChildren(oggetto, 0, n, figli.data(), &ottenuti)))
        return true;
    bool avanti = true;
    for (LONG i = 0; i < ottenuti; ++i) {
        VARIANT& figlio = figli[std::size_t(i)];
        if (avanti && figlio.vt == VT_DISPATCH && figlio.pdispVal) {
            IAccessible* accessibile = nullptr;
            figlio.pdispVal->QueryInterface(
                IID_IAccessible, reinterpret_cast<void**>(&accessibile));
            // A child window's own object, as the system gives it, stands for its client area.
            HWND hwnd = nullptr;
            if (accessibile && SUCCEEDED(WindowFromAccessibleObject(accessibile, &hwnd)) && hwnd
                && hwnd != proprio) {
                accessibile->Release();
                accessibile = IsWindowVisible(hwnd) ? Client(hwnd) : nullptr;
            }
            if (accessibile) {
                const LONG stato = Numero(accessibile, &IAccessible::get_accState);
                if (stato < 0 || !(stato & STATE_SYSTEM_INVISIBLE))
                    avanti = Percorri(accessibile, livello + 1, visita);
                accessibile->Release();
            }
        }
        VariantClear(&figlio);
    }
    return avanti;
}

void Albero()
{
    GUITHREADINFO info {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(finestra, nullptr), &info);
    Scrivi(L"fuoco: " + Finestra(info.hwndFocus));
    Scrivi(L"attiva: " + Finestra(info.hwndActive));
    // Each frame's children from the topmost down.
    for (HWND riquadro = FindWindowExW(finestra, nullptr, L"Riquadro", nullptr); riquadro;
         riquadro = FindWindowExW(finestra, riquadro, L"Riquadro", nullptr)) {
        if (!IsWindowVisible(riquadro))
            continue;
        std::wstring riga = L"impilati in \"" + TestoDi(riquadro) + L"\":";
        for (HWND figlio = GetWindow(riquadro, GW_CHILD); figlio;
             figlio = GetWindow(figlio, GW_HWNDNEXT)) {
            const LONG stile = GetWindowLongW(figlio, GWL_STYLE);
            if (!(stile & WS_VISIBLE))
                continue;
            const bool gruppo = Classe(figlio) == L"Button" && (stile & 0xF) == BS_GROUPBOX;
            RECT r {};
            GetWindowRect(figlio, &r);
            riga += std::wstring(L" ") + (gruppo ? L"[gruppo " : L"[") + L"\"" + TestoDi(figlio)
                + L"\" " + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"-"
                + std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom) + L"]";
        }
        Scrivi(riga);
    }
    IAccessible* radice = Client(finestra);
    if (!radice) {
        Scrivi(L"nessun oggetto");
        return;
    }
    Percorri(radice, 0, [](IAccessible* oggetto, int livello) {
        Scrivi(std::wstring(std::size_t(2 * livello), L' ') + Descrivi(oggetto));
        return true;
    });
    radice->Release();
}

int Premi(const std::wstring& nome)
{
    IAccessible* radice = Client(finestra);
    if (!radice)
        return 1;
    HRESULT esito = E_FAIL;
    Percorri(radice, 0, [&](IAccessible* oggetto, int) {
        if (Stringa(oggetto, &IAccessible::get_accName) != nome
            || Stringa(oggetto, &IAccessible::get_accDefaultAction).empty())
            return true;
        esito = oggetto->accDoDefaultAction(Se());
        return false;
    });
    radice->Release();
    Scrivi(L"premuto \"" + nome + L"\": " + std::to_wstring(esito));
    return esito == S_OK ? 0 : 1;
}

const wchar_t* NomeEvento(DWORD evento)
{
    switch (evento) {
    case EVENT_OBJECT_FOCUS:
        return L"FOCUS";
    case EVENT_OBJECT_NAMECHANGE:
        return L"NAMECHANGE";
    case EVENT_OBJECT_DESCRIPTIONCHANGE:
        return L"DESCRIPTIONCHANGE";
    case EVENT_OBJECT_STATECHANGE:
        return L"STATECHANGE";
    case EVENT_SYSTEM_DIALOGSTART:
        return L"DIALOGSTART";
    case EVENT_SYSTEM_DIALOGEND:
        return L"DIALOGEND";
    case EVENT_SYSTEM_ALERT:
        return L"ALERT";
    default:
        return nullptr;
    }
}

struct Sentito {
    DWORD evento;
    HWND hwnd;
    LONG oggetto;
    LONG figlio;
};
std::vector<Sentito> sentiti;

// The system waits for the hook while it runs: the objects are read after it has returned, when
// the program is free to answer.
void CALLBACK Evento(
    HWINEVENTHOOK, DWORD evento, HWND hwnd, LONG oggetto, LONG figlio, DWORD, DWORD)
{
    DWORD processo = 0;
    if (!NomeEvento(evento) || !hwnd || !GetWindowThreadProcessId(hwnd, &processo)
        || processo != programma)
        return;
    sentiti.push_back({ evento, hwnd, oggetto, figlio });
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
}

void Racconta(const Sentito& sentito)
{
    std::wstring riga = std::wstring(L"evento ") + NomeEvento(sentito.evento) + L" "
        + Classe(sentito.hwnd)
        + (sentito.oggetto == OBJID_CLIENT        ? L" client"
                : sentito.oggetto == OBJID_WINDOW ? L" window"
                                                  : L" altro");
    // A window that has gone or hides is not read: it may be gone meanwhile.
    if (!IsWindowVisible(sentito.hwnd)) {
        Scrivi(riga);
        return;
    }
    IAccessible* accessibile = nullptr;
    VARIANT quale {};
    if (SUCCEEDED(AccessibleObjectFromEvent(
            sentito.hwnd, DWORD(sentito.oggetto), DWORD(sentito.figlio), &accessibile, &quale))
        && accessibile) {
        if (quale.vt == VT_I4 && quale.lVal == CHILDID_SELF)
            riga += L" " + Descrivi(accessibile);
        accessibile->Release();
    }
    VariantClear(&quale);
    Scrivi(riga);
}

int Eventi()
{
    DWORD processo = 0;
    GetWindowThreadProcessId(finestra, &processo);
    programma = processo;
    // On every process, as Wine tells a hook for one process nothing: the callback keeps the
    // program's.
    const HWINEVENTHOOK gancio = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Evento, 0, 0,
        WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (!gancio)
        return 1;
    Scrivi(L"pronto");
    SetTimer(nullptr, 0, 200, nullptr);
    MSG messaggio;
    while (IsWindow(finestra) && GetMessageW(&messaggio, nullptr, 0, 0) > 0) {
        DispatchMessageW(&messaggio);
        const std::vector<Sentito> daRaccontare = std::move(sentiti);
        sentiti.clear();
        for (const Sentito& sentito : daRaccontare)
            Racconta(sentito);
    }
    UnhookWinEvent(gancio);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    _setmode(_fileno(stdout), _O_BINARY); // lines end in \n alone
    finestra = FindWindowW(L"Form1", nullptr);
    const std::wstring comando = argc > 1 ? argv[1] : L"";
    if (!finestra)
        return 2;
    if (comando == L"albero") {
        Albero();
        return 0;
    }
    if (comando == L"premi" && argc > 2)
        return Premi(argv[2]);
    if (comando == L"eventi")
        return Eventi();
    return 2;
}
