// SPDX-License-Identifier: GPL-3.0-or-later
// A classroom let loose on the real Windows window, in its own process: a long seeded series of
// random inputs posted to the window's controls as the system would post them (mouse buttons to
// the control under the point or to the one holding the mouse, keys to the focus), run through
// the program's own message loop, the timer ticked by hand, every box answered as it opens (No
// to the question, OK otherwise), and every invariant of the experiment checked against a model
// after every input. A failure names the seed and the input, to replay it:
//
//   Scolaresca [--seme N] [--eventi N]
//
// The inputs are the same for the same seed; only the few real waits let the clock decide how
// many ticks run, so a replay may differ after one.
#include "Disposizione.h"
#include "Esperimento.h"
#include "Form1.h"
#include "Geometria.h"
#include "Modello.h"
#include "Testo.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr unsigned SemePredefinito = 2024;
constexpr int EventiPredefiniti = 100000;
constexpr int Ricordati = 30; // inputs printed before a failure
constexpr int SceltePerRaffica = 300; // more than a byte can count
constexpr int InputPerPausa = 8;
constexpr int InputPerAvanzamento = 5000; // between the lines that tell the soak is going on
constexpr int PrimoId = 1000; // the window numbers its controls from here, in the table's order
constexpr UINT_PTR tmrDiscesa = 1;
constexpr UINT BoxAperta = WM_APP + 100; // to the soak's own window: a box was created

enum class Tipo {
    Opzione,
    IdQualsiasi,
    Tastiera,
    Ok,
    Tick,
    Attesa,
    Comando,
    Premi,
    Rilascia,
    ClicQualsiasi,
    Chiusura,
    Raffica,
    Discesa,
    NuovaFinestra,
};

struct Peso {
    Tipo tipo;
    int peso;
    const char* nome;
};

// In ten-thousandths, roughly. Ticks are frequent enough for sinking bodies to reach the floor
// between other inputs now and then; a pupil who watches a whole descent makes sure of it.
constexpr std::array<Peso, 14> Pesi { {
    { Tipo::Opzione, 1600, "option clicks" },
    { Tipo::IdQualsiasi, 100, "commands of no control" },
    { Tipo::Tastiera, 1200, "keys" },
    { Tipo::Ok, 1000, "clicks on OK" },
    { Tipo::Tick, 4000, "ticks" },
    { Tipo::Attesa, 20, "real waits" },
    { Tipo::Comando, 300, "menu commands" },
    { Tipo::Premi, 400, "presses on the arrows" },
    { Tipo::Rilascia, 600, "releases" },
    { Tipo::ClicQualsiasi, 600, "clicks anywhere" },
    { Tipo::Chiusura, 80, "close requests" },
    { Tipo::Raffica, 1, "bursts of option clicks" },
    { Tipo::Discesa, 100, "descents watched to the end" },
    { Tipo::NuovaFinestra, 10, "new windows" },
} };
constexpr int TickDiUnaDiscesa = 60; // from the surface past the floor

struct Tasto {
    UINT vk;
    const char* nome;
};
const std::array<Tasto, 13> Tasti { { { VK_SPACE, "Space" }, { VK_SPACE, "Space" }, { VK_UP, "Up" },
    { VK_DOWN, "Down" }, { VK_LEFT, "Left" }, { VK_RIGHT, "Right" }, { VK_TAB, "Tab" },
    { VK_RETURN, "Return" }, { VK_ESCAPE, "Escape" }, { VK_HOME, "Home" }, { VK_END, "End" },
    { 'A', "A" }, { 'O', "O" } } };

// The mouse's buttons: the message of each for a press and a release, its MK_ bit and, for the
// side buttons, which one.
struct TastoMouse {
    UINT giu, su, mk;
    WORD x;
    const char* nome;
};
const std::array<TastoMouse, 5> TastiMouse { {
    { WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 0, "left" },
    { WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 0, "right" },
    { WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, 0, "middle" },
    { WM_XBUTTONDOWN, WM_XBUTTONUP, MK_XBUTTON1, XBUTTON1, "back" },
    { WM_XBUTTONDOWN, WM_XBUTTONUP, MK_XBUTTON2, XBUTTON2, "forward" },
} };

const std::array<const char*, Modello::Corpi> NomiCorpi { "imgGhiaccio", "imgFerro", "imgRame",
    "imgLegno" };

const char* const TitoloDomanda = DomandaDiUscita::Titolo;

std::string Testo(HWND hwnd)
{
    wchar_t testo[256] {};
    GetWindowTextW(hwnd, testo, 256);
    return Utf8(testo);
}

std::string Classe(HWND hwnd)
{
    wchar_t classe[64] {};
    GetClassNameW(hwnd, classe, 64);
    return Utf8(classe);
}

const Disposizione::Riga& Riga(const char* nome, int indice = -1)
{
    for (const Disposizione::Riga& riga : Disposizione::Controlli)
        if (std::strcmp(riga.nome, nome) == 0 && riga.indice == indice)
            return riga;
    std::fprintf(stderr, "no row %s in the layout table\n", nome);
    std::exit(2);
}

int IdDi(const char* nome, int indice = -1)
{
    return PrimoId + int(&Riga(nome, indice) - Disposizione::Controlli.data());
}

std::string Punto(POINT p)
{
    return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}

} // namespace

class Scolaresca {
public:
    Scolaresca(HINSTANCE istanza, unsigned seme, int eventi);
    ~Scolaresca();
    Scolaresca(const Scolaresca&) = delete;
    Scolaresca& operator=(const Scolaresca&) = delete;

    int Esegui();

private:
    struct Evento {
        Tipo tipo;
        std::uint32_t a, b, c;
    };
    // What reached an arrow: a left press not yet released, Space held on it.
    struct Freccia {
        bool premuto = false;
        bool spazio = false;
    };

    std::string Apri();
    void Chiudi();
    Evento Estrai();
    std::string Esegui(const Evento& evento);
    std::string Verifica();
    enum class Messaggi {
        SenzaPittura,
        ConPittura,
        Tutti
    };
    void Pompa(Messaggi quali = Messaggi::SenzaPittura);
    void Attendi(int ms);
    bool TimerAttivo() const;
    HWND Controllo(const char* nome, int indice = -1) const;
    POINT InFinestra(HWND controllo, std::uint32_t caso) const;
    POINT Schermo(POINT client) const;

    std::string Clic(const TastoMouse& tasto, POINT client);
    bool Invia(const TastoMouse& tasto, bool giu, POINT schermo, std::string& dove);
    std::string Premi(std::uint32_t a, std::uint32_t b, std::uint32_t c);
    std::string Rilascia(std::uint32_t a, std::uint32_t b, std::uint32_t c);
    void RilasciaTutto();
    std::string PremiTasto(std::uint32_t a, std::uint32_t b);

    void OsservaComando(WPARAM w, LPARAM l);
    void OsservaFreccia(HWND freccia, UINT messaggio, WPARAM w, LPARAM l);
    void Rispondi(HWND box);
    void Errore(const std::string& testo) { m_errori.push_back(testo); }
    void Avanzamento(int numero, DWORD ms) const;

    static LRESULT CALLBACK Form(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR soak);
    static LRESULT CALLBACK Frecce(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR soak);
    static LRESULT CALLBACK Aiuto(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK Gancio(int codice, WPARAM w, LPARAM l);

    static Scolaresca* s_soak;

    HINSTANCE m_istanza;
    unsigned m_seme;
    int m_eventi;
    std::mt19937 m_caso;
    HWND m_aiuto = nullptr;
    HHOOK m_gancio = nullptr;
    std::string m_separatore;

    std::unique_ptr<Form1> m_form;
    HWND m_finestra = nullptr;
    int m_dpi = 96;
    HWND m_command1 = nullptr;
    std::array<HWND, 4> m_option1 {};
    std::array<HWND, 4> m_option2 {};
    HWND m_frame3 = nullptr;
    HWND m_frame4 = nullptr;
    HWND m_command3 = nullptr;
    HWND m_image1 = nullptr;
    HWND m_lblLiquido = nullptr;
    HWND m_lblMateriale = nullptr;
    std::array<HWND, Modello::Corpi> m_corpi {};
    UINT m_mnprince = 0;
    UINT m_mninfo = 0;
    UINT m_mnexit = 0;

    Modello m_modello;
    std::map<HWND, Freccia> m_frecce;
    std::vector<std::string> m_scatoleAttese; // titles of the boxes this input should show
    std::vector<std::string> m_scatoleViste;
    std::vector<HWND> m_scatoleAperte; // created and not yet destroyed
    std::vector<std::string> m_errori; // seen by the observers during this input
    std::map<int, POINT> m_tenuti; // the mouse buttons held down, and where (screen)

    std::map<Tipo, int> m_conteggi;
    int m_mouseArrivati = 0; // presses and releases that reached a control or the window
    int m_tastiArrivati = 0;
    int m_tick = 0; // ticks of ours that reached a running timer
    int m_tickVeri = 0; // the system's, during real waits or the window's own pumping
    int m_frecceCliccate = 0; // clicks on the arrows that closed a panel
    int m_verdettiVisti = 0;
    int m_domande = 0;
    int m_corse = 0; // of the windows closed so far
    int m_affondati = 0;
    int m_galleggianti = 0;
    int m_sceltePerse = 0;
    bool m_nostroTick = false;
    int m_tickInCoda = 0; // ticks still to come of a descent watched
};

Scolaresca* Scolaresca::s_soak = nullptr;

Scolaresca::Scolaresca(HINSTANCE istanza, unsigned seme, int eventi)
    : m_istanza(istanza)
    , m_seme(seme)
    , m_eventi(eventi)
    , m_caso(seme)
{
    s_soak = this;
    WNDCLASSEXW classe {};
    classe.cbSize = sizeof classe;
    classe.lpfnWndProc = Aiuto;
    classe.hInstance = istanza;
    classe.lpszClassName = L"ScolarescaAiuto";
    RegisterClassExW(&classe);
    m_aiuto = CreateWindowExW(
        0, classe.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, istanza, nullptr);
    m_gancio = SetWindowsHookExW(WH_CBT, Gancio, nullptr, GetCurrentThreadId());
    wchar_t separatore[8] {};
    m_separatore = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separatore, 8)
        ? Utf8(separatore)
        : std::string(",");
    Form1::Registra(istanza);
}

Scolaresca::~Scolaresca()
{
    m_form.reset();
    if (m_gancio)
        UnhookWindowsHookEx(m_gancio);
    if (m_aiuto)
        DestroyWindow(m_aiuto);
    s_soak = nullptr;
}

// A new window, as at start-up, and a model to match.
std::string Scolaresca::Apri()
{
    m_modello = Modello();
    m_form = std::make_unique<Form1>(m_istanza);
    m_finestra = m_form->hwnd();
    ShowWindow(m_finestra, SW_SHOWNORMAL);
    UpdateWindow(m_finestra);
    SetForegroundWindow(m_finestra);
    const DWORD fine = GetTickCount() + 20000;
    while (GetActiveWindow() != m_finestra && GetTickCount() < fine) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Pompa(Messaggi::ConPittura);
    }
    if (GetActiveWindow() != m_finestra)
        return "the window did not become active";
    HDC schermo = GetDC(nullptr);
    m_dpi = GetDeviceCaps(schermo, LOGPIXELSY);
    ReleaseDC(nullptr, schermo);

    m_command1 = Controllo("Command1");
    for (int indice = 0; indice < 4; ++indice) {
        m_option1.at(std::size_t(indice)) = Controllo("Option1", indice);
        m_option2.at(std::size_t(indice)) = Controllo("Option2", indice);
    }
    m_frame3 = Controllo("Frame3");
    m_frame4 = Controllo("Frame4");
    m_command3 = Controllo("Command3");
    m_image1 = Controllo("Image1");
    m_lblLiquido = Controllo("lblPSLiquido");
    m_lblMateriale = Controllo("lblPSMateriale");
    for (std::size_t corpo = 0; corpo < m_corpi.size(); ++corpo)
        m_corpi[corpo] = Controllo(NomiCorpi[corpo]);
    // The commands as the menu holds them: File's first and last entries, and the bar's "?".
    const HMENU barra = GetMenu(m_finestra);
    const HMENU file = GetSubMenu(barra, 0);
    m_mnprince = GetMenuItemID(file, 0);
    m_mnexit = GetMenuItemID(file, GetMenuItemCount(file) - 1);
    m_mninfo = GetMenuItemID(barra, 1);
    const bool tutti = m_command1 && m_frame3 && m_frame4 && m_command3 && m_image1 && m_lblLiquido
        && m_lblMateriale
        && std::all_of(m_option1.begin(), m_option1.end(), [](HWND h) { return h; })
        && std::all_of(m_option2.begin(), m_option2.end(), [](HWND h) { return h; })
        && std::all_of(m_corpi.begin(), m_corpi.end(), [](HWND h) { return h; })
        && m_mnprince != UINT(-1) && m_mnexit != UINT(-1) && m_mninfo != UINT(-1);
    if (!tutti)
        return "a control or a menu command of the window is missing";
    SetWindowSubclass(m_finestra, Form, 0, DWORD_PTR(this));
    for (HWND freccia : { m_command3, m_image1 })
        SetWindowSubclass(freccia, Frecce, 0, DWORD_PTR(this));
    m_frecce.clear();
    return {};
}

void Scolaresca::Chiudi()
{
    RilasciaTutto();
    m_corse += m_modello.corse();
    m_affondati += m_modello.affondati();
    m_galleggianti += m_modello.galleggianti();
    m_sceltePerse += m_modello.sceltePerse();
    m_modello = Modello();
    m_form.reset();
    m_finestra = nullptr;
    Pompa();
}

HWND Scolaresca::Controllo(const char* nome, int indice) const
{
    struct Cerca {
        int id;
        HWND trovato;
    } cerca { IdDi(nome, indice), nullptr };
    EnumChildWindows(
        m_finestra,
        [](HWND hwnd, LPARAM l) -> BOOL {
            auto* c = reinterpret_cast<Cerca*>(l);
            if (GetDlgCtrlID(hwnd) != c->id)
                return TRUE;
            c->trovato = hwnd;
            return FALSE;
        },
        LPARAM(&cerca));
    return cerca.trovato;
}

// What the program's loop does with the messages waiting, but for the timer's, which come when
// the soak ticks it (or waits for real), and the painting, which waits for a pause in the
// inputs as it waits while a pupil's quick clicks and keys go on.
void Scolaresca::Pompa(Messaggi quali)
{
    UINT filtro = PM_REMOVE;
    if (quali != Messaggi::Tutti)
        filtro |= PM_QS_INPUT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE
            | (quali == Messaggi::ConPittura ? PM_QS_PAINT : 0);
    const auto prendi = [filtro](MSG& messaggio) {
        return PeekMessageW(&messaggio, nullptr, 0, 0, filtro) != FALSE;
    };
    MSG messaggio;
    while (prendi(messaggio)) {
        if (messaggio.message == WM_QUIT) // a replaced window's
            continue;
        if (m_form && m_form->PreTraduci(messaggio))
            continue;
        TranslateMessage(&messaggio);
        DispatchMessageW(&messaggio);
    }
}

void Scolaresca::Attendi(int ms)
{
    const DWORD fine = GetTickCount() + DWORD(ms);
    for (DWORD ora = GetTickCount(); int(fine - ora) > 0; ora = GetTickCount()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, fine - ora, QS_ALLINPUT);
        Pompa(Messaggi::Tutti);
    }
}

// The system says whether a timer exists only by killing it: one that did is set again.
bool Scolaresca::TimerAttivo() const
{
    if (!KillTimer(m_finestra, tmrDiscesa))
        return false;
    SetTimer(m_finestra, tmrDiscesa, UINT(Discesa::IntervalloMs), nullptr);
    return true;
}

POINT Scolaresca::Schermo(POINT client) const
{
    ClientToScreen(m_finestra, &client);
    return client;
}

// A point of the control, in the window's client area.
POINT Scolaresca::InFinestra(HWND controllo, std::uint32_t caso) const
{
    RECT r {};
    GetWindowRect(controllo, &r);
    MapWindowPoints(nullptr, m_finestra, reinterpret_cast<POINT*>(&r), 2);
    const LONG larghezza = std::max<LONG>(1, r.right - r.left);
    const LONG altezza = std::max<LONG>(1, r.bottom - r.top);
    return { r.left + LONG(caso % std::uint32_t(larghezza)),
        r.top + LONG((caso >> 16) % std::uint32_t(altezza)) };
}

// A press or a release goes where the system would send it: to the window that holds the
// mouse, or to the one under the point, which the system finds as it finds it for the mouse.
bool Scolaresca::Invia(const TastoMouse& tasto, bool giu, POINT schermo, std::string& dove)
{
    HWND bersaglio = GetCapture();
    if (!bersaglio)
        bersaglio = WindowFromPoint(schermo);
    if (!bersaglio || (bersaglio != m_finestra && !IsChild(m_finestra, bersaglio))) {
        dove = "nothing of the window";
        return false;
    }
    dove = Classe(bersaglio) + " " + std::to_string(GetDlgCtrlID(bersaglio));
    POINT punto = schermo;
    ScreenToClient(bersaglio, &punto);
    WPARAM stato = 0;
    for (const auto& [indice, _] : m_tenuti)
        stato |= TastiMouse.at(std::size_t(indice)).mk;
    if (giu)
        stato |= tasto.mk;
    else
        stato &= ~WPARAM(tasto.mk);
    PostMessageW(bersaglio, giu ? tasto.giu : tasto.su, MAKEWPARAM(stato, tasto.x),
        MAKELPARAM(punto.x, punto.y));
    ++m_mouseArrivati;
    Pompa();
    return true;
}

std::string Scolaresca::Clic(const TastoMouse& tasto, POINT client)
{
    const POINT schermo = Schermo(client);
    const int indice = int(&tasto - TastiMouse.data());
    std::string descrizione = std::string(tasto.nome) + " click at " + Punto(client);
    if (m_tenuti.count(indice))
        return descrizione + " (held already: none)";
    std::string dove;
    Invia(tasto, true, schermo, dove);
    descrizione += " on " + dove;
    m_tenuti[indice] = schermo;
    Invia(tasto, false, schermo, dove);
    m_tenuti.erase(indice);
    return descrizione;
}

std::string Scolaresca::Premi(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    const HWND freccia = (a & 1) ? m_image1 : m_command3;
    const std::size_t indice = b % TastiMouse.size();
    const TastoMouse& tasto = TastiMouse[indice];
    const POINT client = InFinestra(freccia, c);
    std::string descrizione = std::string(tasto.nome) + " press on "
        + (freccia == m_image1 ? "Image1" : "Command3") + " at " + Punto(client);
    if (m_tenuti.count(int(indice)))
        return descrizione + " (held already: none)";
    std::string dove;
    Invia(tasto, true, Schermo(client), dove);
    m_tenuti[int(indice)] = Schermo(client);
    return descrizione + " on " + dove;
}

std::string Scolaresca::Rilascia(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    if (m_tenuti.empty())
        return "release with no button held: none";
    auto tenuto = m_tenuti.begin();
    std::advance(tenuto, a % m_tenuti.size());
    const int indice = tenuto->first;
    RECT area {};
    GetClientRect(m_finestra, &area);
    // Mostly where it was pressed; sometimes after dragging it anywhere.
    const POINT schermo = b % 3 == 0 ? Schermo({ LONG(c % std::uint32_t(area.right)),
                              LONG((c >> 16) % std::uint32_t(area.bottom)) })
                                     : tenuto->second;
    m_tenuti.erase(tenuto);
    std::string dove;
    Invia(TastiMouse.at(std::size_t(indice)), false, schermo, dove);
    return std::string(TastiMouse.at(std::size_t(indice)).nome) + " release on " + dove;
}

void Scolaresca::RilasciaTutto()
{
    while (!m_tenuti.empty()) {
        const auto tenuto = m_tenuti.begin();
        const int indice = tenuto->first;
        const POINT schermo = tenuto->second;
        m_tenuti.erase(tenuto);
        std::string dove;
        Invia(TastiMouse.at(std::size_t(indice)), false, schermo, dove);
    }
}

// A key pressed and released on the focus, Shift held now and then, as the keyboard sends it.
std::string Scolaresca::PremiTasto(std::uint32_t a, std::uint32_t b)
{
    const Tasto& tasto = Tasti.at(a % Tasti.size());
    const bool maiuscolo = (b >> 8) % 6 == 0;
    BYTE stato[256] {};
    GetKeyboardState(stato);
    if (maiuscolo) {
        stato[VK_SHIFT] = stato[VK_LSHIFT] = 0x80;
        SetKeyboardState(stato);
    }
    const LPARAM scansione = LPARAM(MapVirtualKeyW(tasto.vk, MAPVK_VK_TO_VSC)) << 16;
    const auto destinatario = [this] {
        const HWND fuoco = GetFocus();
        return fuoco ? fuoco : m_finestra;
    };
    const HWND fuoco = destinatario();
    const std::string descrizione = std::string("key ") + (maiuscolo ? "shift+" : "") + tasto.nome
        + " with the focus on " + Classe(fuoco) + " " + std::to_string(GetDlgCtrlID(fuoco));
    PostMessageW(fuoco, WM_KEYDOWN, tasto.vk, 1 | scansione);
    Pompa();
    PostMessageW(destinatario(), WM_KEYUP, tasto.vk, 1 | scansione | (1 << 30) | (1U << 31));
    Pompa();
    ++m_tastiArrivati;
    if (maiuscolo) {
        stato[VK_SHIFT] = stato[VK_LSHIFT] = 0;
        SetKeyboardState(stato);
    }
    return descrizione;
}

Scolaresca::Evento Scolaresca::Estrai()
{
    int totale = 0;
    for (const Peso& peso : Pesi)
        totale += peso.peso;
    int scelta = int(m_caso() % std::uint32_t(totale));
    Evento evento { Tipo::Tick, m_caso(), m_caso(), m_caso() };
    for (const Peso& peso : Pesi) {
        if (scelta < peso.peso) {
            evento.tipo = peso.tipo;
            break;
        }
        scelta -= peso.peso;
    }
    return evento;
}

std::string Scolaresca::Esegui(const Evento& evento)
{
    ++m_conteggi[evento.tipo];
    const std::uint32_t a = evento.a, b = evento.b, c = evento.c;
    // Mostly the left button, as pupils use; sometimes any other.
    const TastoMouse& tasto = TastiMouse.at(b % 10 < 7 ? 0 : (b / 10) % TastiMouse.size());
    switch (evento.tipo) {
    case Tipo::Opzione: {
        const auto& gruppo = (a & 1) ? m_option2 : m_option1;
        const std::size_t indice = (a >> 1) % 4;
        return std::string((a & 1) ? "Option2" : "Option1") + "(" + std::to_string(indice)
            + "): " + Clic(tasto, InFinestra(gruppo[indice], c));
    }
    case Tipo::IdQualsiasi: {
        // A command that names no control of the window, nor any of its menu's.
        std::vector<int> ids { 0, 3, 999, PrimoId + int(Disposizione::Controlli.size()), 1999, 2000,
            2004, 65535, IdDi("Frame1"), IdDi("Label1"), IdDi("imgContenitore"),
            IdDi("lblPSLiquido") };
        const int id = ids.at(c % ids.size());
        const WORD codice = (b & 1) ? WORD(BN_CLICKED) : WORD(b >> 1);
        const HWND da = (a & 1) ? m_lblLiquido : nullptr;
        if (!da && (id == 1 || id == 2))
            return "command of no control: none";
        PostMessageW(m_finestra, WM_COMMAND, MAKEWPARAM(id, codice), LPARAM(da));
        Pompa();
        return "command " + std::to_string(id) + " code " + std::to_string(codice)
            + (da ? " from a label" : "");
    }
    case Tipo::Tastiera:
        return PremiTasto(a, b);
    case Tipo::Ok:
        return "OK: " + Clic(tasto, InFinestra(m_command1, c));
    case Tipo::Tick:
        if (!TimerAttivo())
            return "tick: the timer is stopped, none";
        {
            // As the loop hands over the system's tick.
            MSG scatto { m_finestra, WM_TIMER, tmrDiscesa, 0, GetTickCount(), {} };
            m_nostroTick = true;
            DispatchMessageW(&scatto);
            m_nostroTick = false;
        }
        Pompa();
        return "tick";
    case Tipo::Attesa: {
        const int ms = 1 + int(a % 40);
        Attendi(ms);
        return "real wait of " + std::to_string(ms) + " ms";
    }
    case Tipo::Comando: {
        const UINT comando = a % 7 < 3 ? m_mnprince : a % 7 < 6 ? m_mninfo : m_mnexit;
        PostMessageW(m_finestra, WM_COMMAND, comando, 0);
        Pompa();
        return std::string("menu command ")
            + (comando == m_mnprince      ? "mnprince"
                    : comando == m_mninfo ? "mninfo"
                                          : "mnexit");
    }
    case Tipo::Premi:
        return Premi(a, b, c);
    case Tipo::Rilascia:
        return Rilascia(a, b, c);
    case Tipo::ClicQualsiasi: {
        RECT area {};
        GetClientRect(m_finestra, &area);
        const POINT punto { LONG(c % std::uint32_t(area.right)),
            LONG((c >> 16) % std::uint32_t(area.bottom)) };
        return "anywhere: " + Clic(tasto, punto);
    }
    case Tipo::Chiusura:
        if (a & 1)
            PostMessageW(m_finestra, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            PostMessageW(m_finestra, WM_CLOSE, 0, 0);
        Pompa();
        return (a & 1) ? "close from the system menu" : "close request";
    case Tipo::Raffica:
        // A pupil hammering the options, far past what a byte counts.
        for (int scelta = 0; scelta < SceltePerRaffica; ++scelta) {
            const HWND opzione = (std::uint32_t(scelta) + a) % 2
                ? m_option2.at((b + std::uint32_t(scelta)) % 4)
                : m_option1.at((c + std::uint32_t(scelta)) % 4);
            SendMessageW(opzione, BM_CLICK, 0, 0);
        }
        Pompa();
        return std::to_string(SceltePerRaffica) + " option clicks in a row";
    case Tipo::Discesa:
        // A run watched to its end: the next inputs are ticks, each checked like any input.
        if (!TimerAttivo())
            return "a descent watched: the timer is stopped, none";
        m_tickInCoda = TickDiUnaDiscesa;
        return "a descent watched: " + std::to_string(TickDiUnaDiscesa) + " ticks follow";
    case Tipo::NuovaFinestra: {
        // The next pupil starts from the program's first state.
        Chiudi();
        const std::string errore = Apri();
        if (!errore.empty())
            Errore(errore);
        return "a new window";
    }
    }
    return {};
}

// The window's commands as they reach it, followed by the model after the window has acted on
// them (a start pumps messages, where a tick of the run before may still come).
LRESULT CALLBACK Scolaresca::Form(
    HWND hwnd, UINT messaggio, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR soak)
{
    auto* s = reinterpret_cast<Scolaresca*>(soak);
    if (hwnd != s->m_finestra)
        return DefSubclassProc(hwnd, messaggio, w, l);
    switch (messaggio) {
    case WM_TIMER:
        if (w != tmrDiscesa)
            break;
        if (!s->m_nostroTick)
            ++s->m_tickVeri;
        else
            ++s->m_tick;
        if (!s->m_modello.inCorsa()) {
            s->Errore("a tick came with no run going on");
        } else {
            const std::string verdetto = s->m_modello.Tick();
            if (!verdetto.empty())
                s->m_scatoleAttese.push_back(verdetto);
        }
        break;
    case WM_CLOSE:
        s->m_scatoleAttese.push_back(TitoloDomanda);
        break;
    case WM_COMMAND: {
        const LRESULT risultato = DefSubclassProc(hwnd, messaggio, w, l);
        s->OsservaComando(w, l);
        return risultato;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, Form, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, messaggio, w, l);
}

void Scolaresca::OsservaComando(WPARAM w, LPARAM l)
{
    const int id = LOWORD(w);
    if (!l) {
        if (UINT(id) == m_mnprince)
            m_modello.ApriSpiegazione();
        else if (UINT(id) == m_mninfo)
            m_modello.ApriInformazioni();
        else if (UINT(id) == m_mnexit)
            m_scatoleAttese.push_back(TitoloDomanda);
        else if (id == IDCANCEL && m_modello.informazioni()) // Escape closes the panel in front
            m_modello.ChiudiInformazioni();
        else if (id == IDCANCEL)
            m_modello.ChiudiSpiegazione();
        return;
    }
    if (HIWORD(w) != BN_CLICKED)
        return;
    if (id == GetDlgCtrlID(m_command1)) {
        m_modello.PremiOK();
        return;
    }
    for (int indice = 0; indice < 4; ++indice) {
        for (const auto* gruppo : { &m_option1, &m_option2 }) {
            const HWND opzione = gruppo->at(std::size_t(indice));
            // A button that takes the focus unchecked says so too; only a choice counts.
            if (id != GetDlgCtrlID(opzione)
                || SendMessageW(opzione, BM_GETCHECK, 0, 0) != BST_CHECKED)
                continue;
            if (gruppo == &m_option1)
                m_modello.ScegliLiquido(indice);
            else
                m_modello.ScegliMateriale(indice);
        }
    }
}

LRESULT CALLBACK Scolaresca::Frecce(
    HWND hwnd, UINT messaggio, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR soak)
{
    auto* s = reinterpret_cast<Scolaresca*>(soak);
    if (messaggio == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, Frecce, 0);
    else
        s->OsservaFreccia(hwnd, messaggio, w, l);
    return DefSubclassProc(hwnd, messaggio, w, l);
}

// An arrow is clicked like a button: a left press released over it, Space pressed and released
// on it, or Return.
void Scolaresca::OsservaFreccia(HWND freccia, UINT messaggio, WPARAM w, LPARAM l)
{
    Freccia& stato = m_frecce[freccia];
    bool clic = false;
    switch (messaggio) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        stato.premuto = true;
        break;
    case WM_LBUTTONUP: {
        RECT area {};
        GetClientRect(freccia, &area);
        const POINT punto { short(LOWORD(l)), short(HIWORD(l)) };
        clic = stato.premuto && PtInRect(&area, punto);
        stato.premuto = false;
        break;
    }
    case WM_CAPTURECHANGED:
        if (HWND(l) != freccia)
            stato.premuto = false;
        break;
    case WM_KEYDOWN:
        if (w == VK_SPACE && !stato.spazio && !(l & (1 << 30)))
            stato.spazio = true;
        else if (w == VK_RETURN)
            clic = true;
        break;
    case WM_KEYUP:
        clic = w == VK_SPACE && stato.spazio;
        if (w == VK_SPACE)
            stato.spazio = false;
        break;
    case WM_KILLFOCUS:
        stato.spazio = false;
        break;
    default:
        break;
    }
    if (!clic)
        return;
    ++m_frecceCliccate;
    if (freccia == m_command3)
        m_modello.ChiudiSpiegazione();
    else
        m_modello.ChiudiInformazioni();
}

LRESULT CALLBACK Scolaresca::Gancio(int codice, WPARAM w, LPARAM l)
{
    if (s_soak && codice == HCBT_CREATEWND && Classe(HWND(w)) == "#32770") {
        s_soak->m_scatoleAperte.push_back(HWND(w));
        PostMessageW(s_soak->m_aiuto, BoxAperta, w, 0);
    } else if (s_soak && codice == HCBT_DESTROYWND) {
        auto& aperte = s_soak->m_scatoleAperte;
        aperte.erase(std::remove(aperte.begin(), aperte.end(), HWND(w)), aperte.end());
    }
    return CallNextHookEx(nullptr, codice, w, l);
}

LRESULT CALLBACK Scolaresca::Aiuto(HWND hwnd, UINT messaggio, WPARAM w, LPARAM l)
{
    if (messaggio == BoxAperta && s_soak) {
        s_soak->Rispondi(HWND(w));
        return 0;
    }
    return DefWindowProcW(hwnd, messaggio, w, l);
}

// A box, as its modal loop runs: what it says and what the window shows under it, then its
// button clicked, "No" for the question.
void Scolaresca::Rispondi(HWND box)
{
    if (!IsWindow(box)) {
        Errore("a box closed before it was answered");
        return;
    }
    const std::string titolo = Testo(box);
    m_scatoleViste.push_back(titolo);
    int risposta = IDOK;
    if (titolo == TitoloDomanda) {
        risposta = IDNO;
        ++m_domande;
        if (!GetDlgItem(box, IDYES) || Testo(GetDlgItem(box, IDYES)) != "&S\xc3\xac")
            Errore("the question's first button does not read \"&S\xc3\xac\"");
    } else {
        ++m_verdettiVisti;
        const bool affonda = titolo == "Il corpo affonda";
        if (TimerAttivo())
            Errore("the timer runs under the verdict \"" + titolo + "\"");
        const int materiale = m_modello.materiale();
        if (materiale < 0) {
            Errore("a verdict with no material chosen");
        } else {
            const HWND corpo = m_corpi.at(std::size_t(materiale));
            RECT r {};
            GetWindowRect(corpo, &r);
            MapWindowPoints(nullptr, m_finestra, reinterpret_cast<POINT*>(&r), 2);
            const int atteso
                = Twips::Px(affonda ? Modello::LimiteFondo : Modello::TopIniziale, m_dpi);
            if (!IsWindowVisible(corpo) || r.top != atteso)
                Errore(std::string("under \"") + titolo + "\" "
                    + NomiCorpi.at(std::size_t(materiale))
                    + (IsWindowVisible(corpo) ? " shows" : " is hidden") + " at y="
                    + std::to_string(r.top) + ", expected shown at y=" + std::to_string(atteso));
        }
    }
    const HWND bottone = GetDlgItem(box, risposta);
    if (!bottone) {
        Errore("the box \"" + titolo + "\" has no button " + std::to_string(risposta));
        EndDialog(box, risposta);
        return;
    }
    SendMessageW(bottone, BM_CLICK, 0, 0);
    if (IsWindowVisible(box)) {
        Errore("the box \"" + titolo + "\" stayed open when its button was clicked");
        EndDialog(box, risposta);
    }
}

std::string Scolaresca::Verifica()
{
    std::vector<std::string> errori;
    errori.swap(m_errori);
    const auto errore = [&errori](const std::string& testo) { errori.push_back(testo); };

    std::vector<std::string> viste;
    viste.swap(m_scatoleViste);
    std::vector<std::string> attese;
    attese.swap(m_scatoleAttese);
    std::sort(viste.begin(), viste.end());
    std::sort(attese.begin(), attese.end());
    if (viste != attese) {
        const auto elenco = [](const std::vector<std::string>& titoli) {
            std::string testo;
            for (const std::string& titolo : titoli)
                testo += (testo.empty() ? "" : ", ") + titolo;
            return "[" + testo + "]";
        };
        errore("boxes shown: " + elenco(viste) + ", expected: " + elenco(attese));
    }

    if (!IsWindow(m_finestra) || !IsWindowVisible(m_finestra)) {
        errore("the window is gone");
    } else {
        const bool timer = TimerAttivo();
        if (timer != m_modello.inCorsa())
            errore(std::string("the timer is ") + (timer ? "running" : "stopped") + " with "
                + (m_modello.inCorsa() ? "a" : "no") + " run going on");
        if (bool(IsWindowEnabled(m_command1)) != m_modello.okAbilitato())
            errore(std::string("OK is ") + (IsWindowEnabled(m_command1) ? "enabled" : "disabled")
                + ", expected " + (m_modello.okAbilitato() ? "enabled" : "disabled"));

        const int materiale = m_modello.materiale();
        int visibili = 0;
        for (int corpo = 0; corpo < Modello::Corpi; ++corpo) {
            const HWND figura = m_corpi.at(std::size_t(corpo));
            const std::string nome = NomiCorpi.at(std::size_t(corpo));
            const bool atteso = m_modello.corpoVisibile() && corpo == materiale;
            const bool visibile = IsWindowVisible(figura);
            visibili += visibile;
            if (visibile != atteso)
                errore(nome + (atteso ? " is hidden" : " shows"));
            RECT r {};
            GetWindowRect(figura, &r);
            MapWindowPoints(nullptr, m_finestra, reinterpret_cast<POINT*>(&r), 2);
            const Disposizione::Riga& riga = Riga(NomiCorpi.at(std::size_t(corpo)));
            if (r.left != Twips::Px(riga.left, m_dpi))
                errore(nome + " moved sideways to x=" + std::to_string(r.left));
            const int y = Twips::Px(m_modello.top(corpo), m_dpi);
            if (r.top != y)
                errore(nome + " is drawn at y=" + std::to_string(r.top)
                    + ", expected y=" + std::to_string(y) + " for "
                    + std::to_string(int(m_modello.top(corpo))) + " twips");
        }
        if (visibili > 1)
            errore(std::to_string(visibili) + " bodies show at once");

        if (bool(IsWindowVisible(m_frame3)) != m_modello.spiegazione())
            errore(std::string("the explanation panel is ")
                + (IsWindowVisible(m_frame3) ? "open" : "closed"));
        if (bool(IsWindowVisible(m_frame4)) != m_modello.informazioni())
            errore(std::string("the information panel is ")
                + (IsWindowVisible(m_frame4) ? "open" : "closed"));

        const HWND fuoco = GetFocus();
        if (fuoco == m_finestra)
            errore("the focus is on the bare window");
        else if (GetActiveWindow() == m_finestra && !IsChild(m_finestra, fuoco))
            errore("the window is active with the focus on no control");

        if (Testo(m_lblLiquido) != m_modello.testoLiquido(m_separatore))
            errore("the liquid's label reads \"" + Testo(m_lblLiquido) + "\"");
        if (Testo(m_lblMateriale) != m_modello.testoMateriale(m_separatore))
            errore("the material's label reads \"" + Testo(m_lblMateriale) + "\"");
    }

    for (HWND box : m_scatoleAperte)
        if (IsWindowVisible(box))
            errore("a box is still open: " + Testo(box));

    std::string testo;
    for (const std::string& e : errori)
        testo += (testo.empty() ? "" : "; ") + e;
    return testo;
}

// The soak's pace is Wine's: every call into the system waits for the server, so a busy machine
// slows it down many times over. These lines let whoever runs it tell slow from stuck.
void Scolaresca::Avanzamento(int numero, DWORD ms) const
{
    std::printf("%d of %d inputs in %lu ms\n", numero, m_eventi, static_cast<unsigned long>(ms));
    std::fflush(stdout); // the C runtime buffers a pipe whole, whatever setvbuf asked
}

int Scolaresca::Esegui()
{
    std::string errore = Apri();
    if (errore.empty())
        errore = Verifica();
    if (!errore.empty()) {
        std::printf("FAIL: seed %u, at the start: %s\n", m_seme, errore.c_str());
        return 1;
    }
    std::deque<std::string> storia;
    const DWORD inizio = GetTickCount();
    for (int numero = 1; numero <= m_eventi; ++numero) {
        const std::string fatto
            = Esegui(m_tickInCoda > 0 ? Evento { Tipo::Tick, 0, 0, 0 } : Estrai());
        m_tickInCoda = std::max(0, m_tickInCoda - 1);
        storia.push_back("  #" + std::to_string(numero) + " " + fatto);
        if (storia.size() > std::size_t(Ricordati))
            storia.pop_front();
        // The window paints in the pauses, as when a pupil's inputs come quicker than that.
        Pompa(numero % InputPerPausa == 0 ? Messaggi::ConPittura : Messaggi::SenzaPittura);
        errore = Verifica();
        if (errore.empty()) {
            if (numero % InputPerAvanzamento == 0)
                Avanzamento(numero, GetTickCount() - inizio);
            continue;
        }
        std::printf("The last inputs:\n");
        for (const std::string& riga : storia)
            std::printf("%s\n", riga.c_str());
        std::printf("FAIL: seed %u, input %d: %s\nreplay: Scolaresca.exe --seme %u --eventi %d\n",
            m_seme, numero, errore.c_str(), m_seme, numero);
        return 1;
    }
    RilasciaTutto();
    Pompa(Messaggi::ConPittura);
    errore = Verifica();
    if (!errore.empty()) {
        std::printf("FAIL: seed %u, after the last release: %s\n", m_seme, errore.c_str());
        return 1;
    }
    Chiudi();
    const DWORD durata = GetTickCount() - inizio;

    std::printf(
        "seed %u: %d inputs in %lu ms\n", m_seme, m_eventi, static_cast<unsigned long>(durata));
    std::string conteggi;
    for (const Peso& peso : Pesi)
        conteggi += (conteggi.empty() ? "" : ", ") + std::to_string(m_conteggi[peso.tipo]) + " "
            + peso.nome;
    std::printf("inputs: %s\n", conteggi.c_str());
    std::printf("reached the window: %d mouse presses and releases, %d keys, %d ticks of ours and "
                "%d of the system's; %d runs begun, %d ended (%d sinking, %d floating), %d "
                "verdicts seen, %d questions answered, %d arrow clicks, %d choices past the "
                "count's top\n",
        m_mouseArrivati, m_tastiArrivati, m_tick, m_tickVeri, m_corse, m_affondati + m_galleggianti,
        m_affondati, m_galleggianti, m_verdettiVisti, m_domande, m_frecceCliccate, m_sceltePerse);
    std::fflush(stdout);

    // A soak that never got anywhere proves nothing: for every thousand inputs, at least this
    // much of each kind reached the window. A short replay needs not reach it.
    const int migliaia = m_eventi >= 10000 ? m_eventi / 1000 : 0;
    const struct {
        const char* cosa;
        int visti, minimo;
    } minimi[] = {
        { "mouse presses and releases", m_mouseArrivati, 100 * migliaia },
        { "keys", m_tastiArrivati, 50 * migliaia },
        { "ticks", m_tick, 100 * migliaia },
        { "runs begun", m_corse, 5 * migliaia },
        { "sinking verdicts", m_affondati, migliaia },
        { "floating verdicts", m_galleggianti, migliaia },
        { "verdicts seen", m_verdettiVisti, 2 * migliaia },
        { "questions answered", m_domande, migliaia },
        { "arrow clicks", m_frecceCliccate, migliaia },
        { "choices past the count's top", m_sceltePerse, migliaia / 50 },
    };
    int esito = 0;
    for (const auto& minimo : minimi) {
        if (minimo.visti >= minimo.minimo)
            continue;
        std::printf("FAIL: seed %u: %d %s reached the window, fewer than %d\n", m_seme,
            minimo.visti, minimo.cosa, minimo.minimo);
        esito = 1;
    }
    if (m_verdettiVisti != m_affondati + m_galleggianti) {
        std::printf("FAIL: seed %u: %d verdicts seen for %d runs ended\n", m_seme, m_verdettiVisti,
            m_affondati + m_galleggianti);
        esito = 1;
    }
    return esito;
}

int wmain(int argc, wchar_t* argv[])
{
    unsigned seme = SemePredefinito;
    int eventi = EventiPredefiniti;
    bool capiti = argc % 2 == 1; // every name with its value
    for (int i = 1; capiti && i + 1 < argc; i += 2) {
        if (std::wcscmp(argv[i], L"--seme") == 0)
            seme = unsigned(std::wcstoul(argv[i + 1], nullptr, 10));
        else if (std::wcscmp(argv[i], L"--eventi") == 0)
            eventi = int(std::wcstol(argv[i + 1], nullptr, 10));
        else
            capiti = false;
    }
    if (!capiti) {
        std::fprintf(stderr, "usage: Scolaresca [--seme N] [--eventi N]\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 4096);
    const INITCOMMONCONTROLSEX controlli { sizeof(INITCOMMONCONTROLSEX),
        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controlli);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Scolaresca soak(GetModuleHandleW(nullptr), seme, eventi);
    const int esito = soak.Esegui();
    std::fflush(stdout);
    return esito;
}
