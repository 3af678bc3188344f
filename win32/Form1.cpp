// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include "Accessibile.h"
#include "Caratteri.h"
#include "Catalogo.h"
#include "DisegniForm.h"
#include "Disposizione.h"
#include "DomandaSiNo.h"
#include "Dpi.h"
#include "Figura.h"
#include "Geometria.h"
#include "Icone.h"
#include "Lettura.h"
#include "Module1.h"
#include "Pixmap.h"
#include "Procedura.h"
#include "Riquadro.h"
#include "Tavolozza.h"
#include "Testo.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>

using Disposizione::Carattere;
using Disposizione::Riga;
using Disposizione::Tipo;

namespace {

constexpr wchar_t Classe[] = L"Form1";
constexpr DWORD Stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD StileEsteso = WS_EX_CONTROLPARENT;

constexpr int PrimoId = 1000; // a control's identifier is this plus its row in the table
enum Comando : int {
    mnprince = 2001,
    mnexit,
    mninfo,
};
constexpr UINT_PTR tmrDiscesa = 1;
// Posted when a box has closed: the focus goes back to a control once the box's work is done.
constexpr UINT RendiFuoco = WM_APP + 1;

std::string SeparatoreDecimale()
{
    wchar_t separatore[8] {};
    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separatore, 8))
        return ",";
    return Utf8(separatore);
}

// The pictures drawn again at 2x and 3x are PNG files held as raw data, numbered 1000 times
// the scale plus the design picture's number: 2101 is bitmap 101 at 2x. The window's own
// pictures, which the resource table leaves unnumbered, count from 1.
enum class Grande {
    Ghiaccio = 1,
    Ferro,
    Rame,
    Legno,
    Freccia,
};

Figura::Grandi Grandi(HINSTANCE istanza, int numero)
{
    return [istanza, numero](int scala) { return DaPng(istanza, 1000 * scala + numero); };
}

Figura::Grandi Grandi(HINSTANCE istanza, Grande disegno)
{
    return Grandi(istanza, int(disegno));
}

} // namespace

void Form1::Registra(HINSTANCE istanza)
{
    WNDCLASSEXW classe {};
    classe.cbSize = sizeof classe;
    classe.lpfnWndProc = Procedura<Form1>;
    classe.hInstance = istanza;
    classe.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    classe.lpszClassName = Classe;
    RegisterClassExW(&classe);
    Figura::Registra(istanza);
    Riquadro::Registra(istanza);
}

Form1::Form1(HINSTANCE istanza)
    : m_istanza(istanza)
    , m_esperimento(*this, SeparatoreDecimale())
    , m_finestra(*this)
    , m_sfondoForm(CreateSolidBrush(
          RGB(Geometria::SfondoForm.r, Geometria::SfondoForm.g, Geometria::SfondoForm.b)))
    , m_sfondoPannelli(CreateSolidBrush(RGB(192, 255, 255)))
{
    m_dpi = DpiDi(nullptr);
    RECT finestra { 0, 0, Twips::Px(Geometria::LarghezzaClient, m_dpi),
        Twips::Px(Geometria::AltezzaClient, m_dpi) };
    AdattaRettangolo(finestra, Stile, StileEsteso, m_dpi);
    m_hwnd = CreateWindowExW(StileEsteso, Classe, L"Idrovela", Stile, CW_USEDEFAULT, CW_USEDEFAULT,
        finestra.right - finestra.left, finestra.bottom - finestra.top, nullptr, nullptr, istanza,
        this);
    CreaMenu();
    CreaControlli();
    Disponi(DpiDi(m_hwnd));
    Tavolozza::Applica(m_hwnd);
    Form_Load();
}

Form1::~Form1()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    for (HGDIOBJ oggetto : { HGDIOBJ(m_sfondoForm), HGDIOBJ(m_sfondoPannelli),
             HGDIOBJ(m_fontPredefinito), HGDIOBJ(m_fontTitolo), HGDIOBJ(m_fontTesto) })
        if (oggetto)
            DeleteObject(oggetto);
    for (HICON icona : { m_iconaGrande, m_iconaPiccola })
        if (icona)
            DestroyIcon(icona);
}

void Form1::CreaMenu()
{
    // No caption has an access key, and none holds an ampersand that the menu would take for one.
    HMENU barra = CreateMenu();
    HMENU mnfile = CreatePopupMenu();
    AppendMenuW(mnfile, MF_STRING, mnprince, L"Idrovela");
    AppendMenuW(mnfile, MF_SEPARATOR, 0, nullptr); // mnx
    AppendMenuW(mnfile, MF_STRING, mnexit, L"Esci");
    AppendMenuW(barra, MF_POPUP, UINT_PTR(mnfile), L"File");
    AppendMenuW(barra, MF_STRING, mninfo, L"?"); // a command on the bar itself
    SetMenu(m_hwnd, barra);
}

void Form1::CreaControlli()
{
    m_controlli.reserve(Disposizione::Controlli.size());
    for (const Riga& riga : Disposizione::Controlli)
        CreaControllo(riga);

    const auto riquadro = [this](const char* nome) { return Cerca(nome)->riquadro; };
    const auto figura = [this](const char* nome) { return Cerca(nome)->figura; };
    Frame1 = riquadro("Frame1");
    Frame2 = riquadro("Frame2");
    Frame3 = riquadro("Frame3");
    Frame4 = riquadro("Frame4");
    Command1 = Cerca("Command1")->hwnd;
    for (int indice = 0; indice < 4; ++indice) {
        Option1[std::size_t(indice)] = Cerca("Option1", indice)->hwnd;
        Option2[std::size_t(indice)] = Cerca("Option2", indice)->hwnd;
    }
    lblPSLiquido = Cerca("lblPSLiquido")->hwnd;
    lblPSMateriale = Cerca("lblPSMateriale")->hwnd;
    imgContenitore = figura("imgContenitore");
    imgLiquido = figura("imgLiquido");
    imgMateriale = figura("imgMateriale");
    imgGhiaccio = figura("imgGhiaccio");
    imgFerro = figura("imgFerro");
    imgRame = figura("imgRame");
    imgLegno = figura("imgLegno");
    Command3 = figura("Command3");
    Image1 = figura("Image1");

    ImpostaImmagini();
    CollegaEventi();
    ApplicaImpilamento();
    AggiornaNomi();
    DescriviPannelli();
}

void Form1::CreaControllo(const Riga& riga)
{
    Controllo controllo;
    controllo.riga = &riga;
    controllo.top = float(riga.top);
    const int id = PrimoId + int(m_controlli.size());
    if (riga.contenitore)
        controllo.contenitore = Cerca(riga.contenitore)->riquadro;
    HWND contenitore = controllo.contenitore ? controllo.contenitore->hwnd() : m_hwnd;
    const bool inPannello = controllo.contenitore && Cerca(riga.contenitore)->riga->sfondo.r >= 0;
    HBRUSH sfondo = !controllo.contenitore ? m_sfondoForm
        : inPannello                       ? m_sfondoPannelli
                                           : GetSysColorBrush(COLOR_BTNFACE);
    const std::wstring testo = Largo(riga.testo);
    const DWORD visibile = riga.visibile ? WS_VISIBLE : 0;
    // An option lies under its group box, as in a dialog, where screen readers look for its
    // group's name: clipped by its siblings, it would vanish under the box.
    const DWORD figlio = riga.tipo == Tipo::OptionButton ? WS_CHILD : WS_CHILD | WS_CLIPSIBLINGS;
    const auto crea = [&](const wchar_t* classe, DWORD stile) {
        return CreateWindowExW(0, classe, testo.c_str(), figlio | visibile | stile, 0, 0, 0, 0,
            contenitore, HMENU(INT_PTR(id)), m_istanza, nullptr);
    };

    switch (riga.tipo) {
    case Tipo::Frame: {
        const bool pannello = !riga.sfondo.Sistema();
        auto nuovo = std::make_unique<Riquadro>(m_hwnd, id, testo, pannello);
        if (pannello)
            nuovo->ImpostaSfondo(m_sfondoPannelli);
        HBRUSH proprio = pannello ? m_sfondoPannelli : GetSysColorBrush(COLOR_BTNFACE);
        m_colori.push_back({ nuovo->GroupBox(), proprio, riga.testoOLinea, COLOR_BTNTEXT });
        if (nuovo->Caption())
            m_colori.push_back({ nuovo->Caption(), proprio, riga.testoOLinea, COLOR_BTNTEXT });
        controllo.hwnd = nuovo->hwnd();
        controllo.riquadro = nuovo.get();
        m_riquadri.push_back(std::move(nuovo));
        if (riga.visibile)
            ShowWindow(controllo.hwnd, SW_SHOWNA);
        break;
    }
    case Tipo::OptionButton:
        // The first of each group starts it and is where Tab enters it.
        controllo.hwnd
            = crea(L"BUTTON", BS_AUTORADIOBUTTON | (riga.indice == 0 ? WS_GROUP | WS_TABSTOP : 0));
        SetWindowSubclass(controllo.hwnd, Opzione, 0, DWORD_PTR(this));
        m_colori.push_back({ controllo.hwnd, sfondo, riga.testoOLinea, COLOR_BTNTEXT });
        break;
    case Tipo::CommandButton:
        controllo.hwnd = crea(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP);
        m_colori.push_back({ controllo.hwnd, sfondo, riga.testoOLinea, COLOR_BTNTEXT });
        break;
    case Tipo::Label:
        controllo.hwnd = crea(L"STATIC", SS_LEFT | SS_NOPREFIX);
        // A label in a panel lets the panel's lines show through; one on the window is redrawn
        // whenever its text changes, so it paints the window's background.
        m_colori.push_back(
            { controllo.hwnd, inPannello ? HBRUSH(GetStockObject(NULL_BRUSH)) : sfondo,
                riga.testoOLinea, COLOR_WINDOWTEXT });
        break;
    case Tipo::Picture: {
        auto nuova = std::make_unique<Figura>(contenitore, id, sfondo);
        controllo.hwnd = nuova->hwnd();
        controllo.figura = nuova.get();
        m_figure.push_back(std::move(nuova));
        if (riga.visibile)
            ShowWindow(controllo.hwnd, SW_SHOWNA);
        break;
    }
    case Tipo::Line:
        break;
    }
    if (controllo.hwnd && !riga.abilitato)
        EnableWindow(controllo.hwnd, FALSE);
    m_controlli.push_back(controllo);
}

void Form1::ImpostaImmagini()
{
    CaricaBitmap(Immagine::imgContenitore, Catalogo::Liquidi[0].bitmapContenitore);
    imgGhiaccio->ImpostaIcona(
        Icona(DisegniForm::CorpoGhiaccio), Grandi(m_istanza, Grande::Ghiaccio));
    imgFerro->ImpostaIcona(Icona(DisegniForm::CorpoFerro), Grandi(m_istanza, Grande::Ferro));
    imgRame->ImpostaIcona(Icona(DisegniForm::CorpoRame), Grandi(m_istanza, Grande::Rame));
    imgLegno->ImpostaIcona(Icona(DisegniForm::CorpoLegno), Grandi(m_istanza, Grande::Legno));

    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, m_hwnd, nullptr, m_istanza, nullptr);
    const std::wstring freccia = Largo(Lettura::NomeFreccia);
    for (Figura* bottone : { Command3, Image1 }) {
        bottone->setBottone(true);
        // The arrow is shown at 32 by 32; its 16-pixel image is for a smaller use.
        bottone->ImpostaIcona(Icona(DisegniForm::Freccia32), Grandi(m_istanza, Grande::Freccia));
        TTTOOLINFOW strumento {};
        strumento.cbSize = sizeof strumento;
        strumento.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        strumento.hwnd = m_hwnd;
        strumento.uId = UINT_PTR(bottone->hwnd());
        strumento.lpszText = const_cast<wchar_t*>(freccia.c_str());
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, LPARAM(&strumento));
    }
}

void Form1::CollegaEventi()
{
    Command3->mouseDown = [this] { Command3_MouseDown(); };
    Command3->mouseUp = [this] { Command3_MouseUp(); };
    Command3->clicked = [this] { Command3_Click(); };
    Image1->mouseDown = [this] { Image1_MouseDown(); };
    Image1->mouseUp = [this] { Image1_MouseUp(); };
    Image1->clicked = [this] { Image1_Click(); };
}

void Form1::ApplicaImpilamento()
{
    // The table lists each container's controls frontmost first: each goes below the ones
    // before it. The buttons of an option group do not overlap; they lie in the order of their
    // indices, which is the order the arrow keys walk.
    const auto impila = [this](const Riquadro* contenitore) {
        int opzioni = 0;
        for (const Controllo& controllo : m_controlli) {
            if (controllo.contenitore != contenitore || !controllo.hwnd)
                continue;
            HWND hwnd = controllo.hwnd;
            if (controllo.riga->tipo == Tipo::OptionButton)
                hwnd = Cerca(controllo.riga->nome, opzioni++)->hwnd;
            SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        if (contenitore) {
            SetWindowPos(contenitore->GroupBox(), HWND_TOP, 0, 0, 0, 0,
                SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            if (contenitore->Caption())
                SetWindowPos(contenitore->Caption(), HWND_TOP, 0, 0, 0, 0,
                    SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    };
    impila(nullptr);
    for (const auto& riquadro : m_riquadri)
        impila(riquadro.get());
}

void Form1::CreaFont(int dpi)
{
    for (HFONT font : { m_fontPredefinito, m_fontTitolo, m_fontTesto })
        if (font)
            DeleteObject(font);
    // The system's dialog font, at about 8 points.
    LOGFONTW dialogo = FontDeiMessaggi(dpi);
    dialogo.lfHeight = -MulDiv(8, dpi, 72);
    dialogo.lfWidth = 0;
    m_fontPredefinito = CreateFontIndirectW(&dialogo);
    m_fontTitolo = Arial(1200, true, dpi);
    m_fontTesto = Arial(1425, false, dpi);
}

HFONT Form1::Font(const Riga& riga) const
{
    switch (riga.carattere) {
    case Carattere::Titolo:
        return m_fontTitolo;
    case Carattere::Testo:
        return m_fontTesto;
    case Carattere::Predefinito:
        break;
    }
    return m_fontPredefinito;
}

void Form1::Disponi(int dpi)
{
    m_dpi = dpi;
    const HFONT vecchi[] = { m_fontPredefinito, m_fontTitolo, m_fontTesto };
    m_fontPredefinito = m_fontTitolo = m_fontTesto = nullptr;
    CreaFont(dpi);
    const auto px = [dpi](double twips) { return Twips::Px(twips, dpi); };

    for (Controllo& controllo : m_controlli) {
        const Riga& riga = *controllo.riga;
        const RECT rettangolo { px(riga.left), px(riga.top), px(riga.left) + px(riga.width),
            px(riga.top) + px(riga.height) };
        switch (riga.tipo) {
        case Tipo::Frame:
            controllo.riquadro->Disponi(rettangolo, Font(riga), px(90));
            break;
        case Tipo::Picture:
            controllo.figura->ImpostaDpi(dpi);
            controllo.figura->ImpostaMisura({ px(riga.width), px(riga.height) });
            SetWindowPos(controllo.hwnd, nullptr, px(riga.left), px(controllo.top), 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case Tipo::Line:
            break;
        default:
            SendMessageW(controllo.hwnd, WM_SETFONT, WPARAM(Font(riga)), FALSE);
            SetWindowPos(controllo.hwnd, nullptr, rettangolo.left, rettangolo.top,
                rettangolo.right - rettangolo.left, rettangolo.bottom - rettangolo.top,
                SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
    }
    for (const auto& riquadro : m_riquadri) {
        std::vector<Riquadro::Linea> linee;
        for (const Controllo& controllo : m_controlli) {
            const Riga& riga = *controllo.riga;
            if (riga.tipo != Tipo::Line || controllo.contenitore != riquadro.get())
                continue;
            linee.push_back({ { px(riga.left), px(riga.top) }, { px(riga.width), px(riga.height) },
                std::max(1, MulDiv(riga.spessore, dpi, Twips::DpiStandard)),
                Tavolozza::Linea(Tavolozza::Sfondo(m_sfondoPannelli, true), riga.testoOLinea) });
        }
        riquadro->ImpostaLinee(std::move(linee));
    }
    SendMessageW(m_tooltip, WM_SETFONT, WPARAM(m_fontPredefinito), FALSE);
    for (HFONT font : vecchi)
        if (font)
            DeleteObject(font);

    HICON grande = IconaBusto(m_istanza, MetricaDi(SM_CXICON, dpi));
    HICON piccola = IconaBusto(m_istanza, MetricaDi(SM_CXSMICON, dpi));
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, LPARAM(grande));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, LPARAM(piccola));
    for (HICON icona : { m_iconaGrande, m_iconaPiccola })
        if (icona)
            DestroyIcon(icona);
    m_iconaGrande = grande;
    m_iconaPiccola = piccola;

    DimensionaFinestra(dpi);
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form1::DimensionaFinestra(int dpi)
{
    const SIZE client { Twips::Px(Geometria::LarghezzaClient, dpi),
        Twips::Px(Geometria::AltezzaClient, dpi) };
    RECT finestra { 0, 0, client.cx, client.cy };
    AdattaRettangolo(finestra, Stile, StileEsteso, dpi);
    SIZE misura { finestra.right - finestra.left, finestra.bottom - finestra.top };
    SetWindowPos(
        m_hwnd, nullptr, 0, 0, misura.cx, misura.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wrapped onto two lines takes more than was reckoned: give it back.
    RECT area {};
    GetClientRect(m_hwnd, &area);
    if (area.right != client.cx || area.bottom != client.cy) {
        misura.cx += client.cx - area.right;
        misura.cy += client.cy - area.bottom;
        SetWindowPos(m_hwnd, nullptr, 0, 0, misura.cx, misura.cy,
            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

const Form1::Controllo* Form1::Cerca(const char* nome, int indice) const
{
    for (const Controllo& controllo : m_controlli)
        if (std::strcmp(controllo.riga->nome, nome) == 0
            && (indice < 0 || controllo.riga->indice == indice))
            return &controllo;
    return nullptr;
}

Form1::Controllo* Form1::ControlloDi(Immagine img)
{
    return const_cast<Controllo*>(std::as_const(*this).ControlloDi(img));
}

const Form1::Controllo* Form1::ControlloDi(Immagine img) const
{
    return Cerca(Nome(img));
}

Figura* Form1::Picture(Immagine img) const
{
    return ControlloDi(img)->figura;
}

LRESULT Form1::Colora(HDC dc, HWND controllo) const
{
    for (const Colori& colori : m_colori) {
        if (colori.hwnd != controllo)
            continue;
        const bool proprio = colori.sfondo == m_sfondoForm || colori.sfondo == m_sfondoPannelli;
        HBRUSH sfondo = Tavolozza::Sfondo(colori.sfondo, proprio);
        SetTextColor(dc, Tavolozza::Testo(sfondo, colori.testo, colori.sistema));
        SetBkMode(dc, TRANSPARENT);
        return LRESULT(sfondo);
    }
    return DefWindowProcW(m_hwnd, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(controllo));
}

// Names for whoever reads the window rather than looks at it; they follow the choices.
void Form1::AggiornaNomi()
{
    const auto nomina = [](Figura* figura, const std::string& nome) {
        SetWindowTextW(figura->hwnd(), Largo(nome.c_str()).c_str());
    };
    nomina(imgContenitore, Lettura::NomeVasca(m_esperimento.Stato()));
    nomina(imgLiquido, Lettura::NomeCampione(m_esperimento.Stato(), Etichetta::lblPSLiquido));
    nomina(imgMateriale, Lettura::NomeCampione(m_esperimento.Stato(), Etichetta::lblPSMateriale));
    for (Immagine corpo :
        { Immagine::imgGhiaccio, Immagine::imgFerro, Immagine::imgRame, Immagine::imgLegno })
        nomina(Picture(corpo), Lettura::NomeCorpo(corpo));
    nomina(Command3, Lettura::NomeFreccia);
    nomina(Image1, Lettura::NomeFreccia);
}

// An open panel takes the focus on its arrow; a screen reader reads the panel, a dialog, with
// its text, and the arrow with the same text.
void Form1::DescriviPannelli()
{
    for (const auto& [pannello, riquadro, freccia] :
        { std::tuple { Pannello::Frame3, Frame3, Command3 },
            std::tuple { Pannello::Frame4, Frame4, Image1 } }) {
        const std::wstring testo = Largo(Lettura::TestoPannello(pannello).c_str());
        riquadro->ImpostaDialogo(Largo(Lettura::NomePannello(pannello)), testo);
        freccia->setDescrizione(testo);
    }
}

std::wstring Form1::DescrizioneOpzione(HWND opzione) const
{
    if (SendMessageW(opzione, BM_GETCHECK, 0, 0) != BST_CHECKED)
        return {};
    const bool liquido = std::count(Option1.begin(), Option1.end(), opzione) > 0;
    return Largo(Lettura::DescrizioneScelta(
        m_esperimento, liquido ? Etichetta::lblPSLiquido : Etichetta::lblPSMateriale)
                     .c_str());
}

LRESULT CALLBACK Form1::Opzione(
    HWND hwnd, UINT messaggio, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR form)
{
    if (messaggio == WM_GETOBJECT && LONG(l) == OBJID_CLIENT) {
        const auto* finestra = reinterpret_cast<const Form1*>(form);
        Accessibile accessibile;
        accessibile.descrizione = [finestra, hwnd] { return finestra->DescrizioneOpzione(hwnd); };
        return accessibile.Rispondi(hwnd, w, l);
    }
    if (messaggio == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, Opzione, 0);
    return DefSubclassProc(hwnd, messaggio, w, l);
}

void Form1::PremiFuoco()
{
    if (GetFocus() == Command1 && IsWindowEnabled(Command1))
        SendMessageW(Command1, BM_CLICK, 0, 0);
}

HWND Form1::FuocoDaRendere() const
{
    const auto pronto = [](HWND hwnd) { return IsWindowVisible(hwnd) && IsWindowEnabled(hwnd); };
    if (m_fuocoSalvato && IsChild(m_hwnd, m_fuocoSalvato) && pronto(m_fuocoSalvato))
        return m_fuocoSalvato;
    if (pronto(Command1))
        return Command1;
    const std::vector<HWND> ordine = OrdineTab();
    return ordine.empty() ? nullptr : ordine.front();
}

void Form1::RicordaFuoco()
{
    const HWND fuoco = GetFocus();
    if (fuoco && IsChild(m_hwnd, fuoco))
        m_fuocoSalvato = fuoco;
}

void Form1::DaiFuoco(HWND controllo)
{
    m_fuocoSalvato = controllo;
    // Not when another window is active: the focus would take the activation with it.
    if (controllo && GetActiveWindow() == m_hwnd)
        SetFocus(controllo);
}

std::vector<HWND> Form1::OrdineTab() const
{
    std::vector<const Controllo*> righe;
    for (const Controllo& controllo : m_controlli)
        if (controllo.riga->tabIndex >= 0)
            righe.push_back(&controllo);
    std::sort(righe.begin(), righe.end(), [](const Controllo* a, const Controllo* b) {
        return a->riga->tabIndex < b->riga->tabIndex;
    });
    std::vector<HWND> ordine;
    for (const Controllo* controllo : righe) {
        HWND hwnd = nullptr;
        const Riga& riga = *controllo->riga;
        if (riga.tipo == Tipo::OptionButton) {
            if (riga.indice != 0)
                continue; // the group takes one place, at its first button
            // Tab enters a group at its chosen button, or at its first.
            const auto& gruppo = std::strcmp(riga.nome, "Option1") == 0 ? Option1 : Option2;
            hwnd = gruppo[0];
            for (HWND bottone : gruppo)
                if (SendMessageW(bottone, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    hwnd = bottone;
        } else if (riga.tipo == Tipo::CommandButton) {
            hwnd = controllo->hwnd;
        } else if (controllo->riquadro == Frame3) {
            hwnd = Command3->hwnd();
        } else if (controllo->riquadro == Frame4) {
            hwnd = Image1->hwnd();
        }
        if (hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
            ordine.push_back(hwnd);
    }
    return ordine;
}

void Form1::SpostaFuoco(bool avanti)
{
    const std::vector<HWND> ordine = OrdineTab();
    if (ordine.empty())
        return;
    HWND fuoco = GetFocus();
    const auto stessoPosto = [&](HWND voce) {
        if (voce == fuoco)
            return true;
        for (const auto* gruppo : { &Option1, &Option2 })
            if (std::count(gruppo->begin(), gruppo->end(), voce)
                && std::count(gruppo->begin(), gruppo->end(), fuoco))
                return true;
        return false;
    };
    const auto qui = std::find_if(ordine.begin(), ordine.end(), stessoPosto);
    std::size_t prossimo = 0;
    if (qui != ordine.end()) {
        const std::size_t posto = std::size_t(qui - ordine.begin());
        prossimo
            = avanti ? (posto + 1) % ordine.size() : (posto + ordine.size() - 1) % ordine.size();
    } else if (!avanti) {
        prossimo = ordine.size() - 1;
    }
    SetFocus(ordine[prossimo]);
}

bool Form1::PreTraduci(MSG& messaggio)
{
    RicordaFuoco();
    if (messaggio.message == WM_KEYDOWN && messaggio.wParam == VK_TAB
        && (messaggio.hwnd == m_hwnd || IsChild(m_hwnd, messaggio.hwnd))
        && !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000)) {
        SpostaFuoco(!(GetKeyState(VK_SHIFT) & 0x8000));
        return true;
    }
    return IsDialogMessageW(m_hwnd, &messaggio);
}

void Form1::ApriPannello(Riquadro* pannello, Figura* freccia)
{
    m_fuocoPrima[pannello] = GetFocus();
    ShowWindow(pannello->hwnd(), SW_SHOWNA);
    NotifyWinEvent(EVENT_SYSTEM_DIALOGSTART, pannello->hwnd(), OBJID_CLIENT, CHILDID_SELF);
    DaiFuoco(freccia->hwnd());
}

void Form1::ChiudiPannello(Riquadro* pannello)
{
    const bool conFuoco = IsChild(pannello->hwnd(), GetFocus());
    const HWND prima = m_fuocoPrima[pannello];
    m_fuocoPrima.erase(pannello);
    // A panel opened from this one will go back to where this one came from.
    for (auto& voce : m_fuocoPrima)
        if (IsChild(pannello->hwnd(), voce.second))
            voce.second = prima;
    ShowWindow(pannello->hwnd(), SW_HIDE);
    NotifyWinEvent(EVENT_SYSTEM_DIALOGEND, pannello->hwnd(), OBJID_CLIENT, CHILDID_SELF);
    if (!conFuoco)
        return;
    m_fuocoSalvato = prima;
    DaiFuoco(FuocoDaRendere());
}

LRESULT Form1::Gestisci(UINT messaggio, WPARAM w, LPARAM l)
{
    switch (messaggio) {
    case WM_COMMAND: {
        const int id = LOWORD(w);
        if (!l) {
            if (id == mnprince)
                mnprince_Click();
            else if (id == mnexit)
                mnexit_Click();
            else if (id == mninfo)
                mninfo_Click();
            else if (id == IDCANCEL) // Escape that no control took
                m_finestra.Form_Escape();
            else if (id == IDOK) // Return, where no control takes it itself
                PremiFuoco();
            return 0;
        }
        const std::size_t riga = std::size_t(id - PrimoId);
        if (HIWORD(w) != BN_CLICKED || id < PrimoId || riga >= m_controlli.size())
            return 0;
        const Controllo& controllo = m_controlli[riga];
        if (controllo.riga->tipo == Tipo::CommandButton) {
            Command1_Click();
        } else if (controllo.riga->tipo == Tipo::OptionButton) {
            // A button that takes the focus unchecked says so too; only a choice counts.
            if (SendMessageW(controllo.hwnd, BM_GETCHECK, 0, 0) != BST_CHECKED)
                return 0;
            if (std::strcmp(controllo.riga->nome, "Option1") == 0)
                Option1_Click(controllo.riga->indice);
            else
                Option2_Click(controllo.riga->indice);
        }
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT area {};
        GetClientRect(m_hwnd, &area);
        FillRect(HDC(w), &area, Tavolozza::Sfondo(m_sfondoForm, true));
        return 1;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // High contrast switched, or the system's colours: everything is painted anew with them.
        if (Tavolozza::Aggiorna()) {
            Disponi(m_dpi);
            Tavolozza::Applica(m_hwnd);
        }
        break;
    case WM_TIMER:
        if (w == tmrDiscesa)
            tmrDiscesa_Timer();
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return Colora(HDC(w), HWND(l));
    case WM_CLOSE:
        m_finestra.Form_Unload(); // Yes ends the process inside; No leaves the window as it was
        return 0;
    case WM_DPICHANGED: {
        const RECT* proposto = reinterpret_cast<const RECT*>(l);
        SetWindowPos(m_hwnd, nullptr, proposto->left, proposto->top,
            proposto->right - proposto->left, proposto->bottom - proposto->top,
            SWP_NOZORDER | SWP_NOACTIVATE);
        Disponi(HIWORD(w));
        return 0;
    }
    case WM_ACTIVATE:
        // As a dialog does: the focus goes back to a control, not to the bare window.
        if (LOWORD(w) == WA_INACTIVE) {
            RicordaFuoco();
            return 0;
        }
        if (HIWORD(w)) // minimized
            break;
        if (const HWND fuoco = FuocoDaRendere())
            SetFocus(fuoco);
        return 0;
    case RendiFuoco:
        if (GetActiveWindow() == m_hwnd && !IsChild(m_hwnd, GetFocus()))
            DaiFuoco(FuocoDaRendere());
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, messaggio, w, l);
}

void Form1::ImpostaVisibile(Immagine img, bool visibile)
{
    ShowWindow(Picture(img)->hwnd(), visibile ? SW_SHOWNA : SW_HIDE);
}

void Form1::ImpostaTop(Immagine img, float top)
{
    Controllo* controllo = ControlloDi(img);
    controllo->top = top;
    SetWindowPos(controllo->hwnd, nullptr, Twips::Px(controllo->riga->left, m_dpi),
        Twips::Px(top, m_dpi), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::CaricaBitmap(Immagine img, int id)
{
    // A new picture for every load, which the control owns.
    Picture(img)->ImpostaBitmap(HBITMAP(LoadImageW(m_istanza, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0,
                                    0, LR_CREATEDIBSECTION)),
        Grandi(m_istanza, id));
}

void Form1::ImpostaCaption(Etichetta lbl, const std::string& testo)
{
    SetWindowTextW(lbl == Etichetta::lblPSLiquido ? lblPSLiquido : lblPSMateriale,
        Largo(testo.c_str()).c_str());
}

void Form1::AbilitaCommand1(bool abilitato)
{
    const HWND vasca = imgContenitore->hwnd();
    const HWND fuoco = GetFocus();
    if (!abilitato && (fuoco == Command1 || !IsChild(m_hwnd, fuoco))) {
        // A run starts. A disabled button keeps no focus: it waits on the tank, where the run
        // happens, which says so.
        imgContenitore->setDescrizione(Largo(Lettura::CorsaAvviata));
        DaiFuoco(vasca);
    }
    const bool prima = IsWindowEnabled(Command1);
    EnableWindow(Command1, abilitato);
    if (prima != abilitato)
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, Command1, OBJID_CLIENT, CHILDID_SELF);
    if (abilitato && (fuoco == vasca || m_fuocoSalvato == vasca))
        DaiFuoco(Command1); // the run is over: Space or Return runs the next
}

void Form1::AbilitaTimer(bool abilitato)
{
    // The system's timer ticks every 15.6 ms unless asked for better while the body moves.
    if (abilitato && !m_timerAttivo) {
        timeBeginPeriod(1);
        SetTimer(m_hwnd, tmrDiscesa, UINT(Discesa::IntervalloMs), nullptr);
        m_timerAttivo = true;
    } else if (!abilitato && m_timerAttivo) {
        KillTimer(m_hwnd, tmrDiscesa);
        timeEndPeriod(1);
        m_timerAttivo = false;
    }
}

void Form1::Beep()
{
    MessageBeep(MB_OK);
}

void Form1::MsgBox(const std::string& testo, const std::string& titolo)
{
    // The window shows what the message speaks of, the body's last step, before the box.
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    imgContenitore->setDescrizione({}); // the run is over
    MessageBoxW(m_hwnd, Largo(testo.c_str()).c_str(), Largo(titolo.c_str()).c_str(), MB_OK);
    // Should nothing arm "OK" after the box, the focus still goes back to a control.
    PostMessageW(m_hwnd, RendiFuoco, 0, 0);
}

void Form1::RiproduciSuono(int id)
{
    Module1::RiproduciSuono(id);
}

void Form1::Form_Load()
{
    m_esperimento.Form_Load();
}

void Form1::Option1_Click(int index)
{
    m_esperimento.ScegliLiquido(index);
    AggiornaNomi();
    NotifyWinEvent(
        EVENT_OBJECT_DESCRIPTIONCHANGE, Option1.at(std::size_t(index)), OBJID_CLIENT, CHILDID_SELF);
}

void Form1::Option2_Click(int index)
{
    m_esperimento.ScegliMateriale(index);
    AggiornaNomi();
    NotifyWinEvent(
        EVENT_OBJECT_DESCRIPTIONCHANGE, Option2.at(std::size_t(index)), OBJID_CLIENT, CHILDID_SELF);
}

void Form1::Command1_Click()
{
    m_esperimento.AvviaDiscesa();
}

void Form1::tmrDiscesa_Timer()
{
    m_esperimento.tmrDiscesa_Timer();
}

void Form1::mnprince_Click()
{
    m_finestra.mnprince_Click();
}

void Form1::Command3_Click()
{
    m_finestra.Command3_Click();
}

void Form1::mninfo_Click()
{
    m_finestra.mninfo_Click();
}

void Form1::Image1_Click()
{
    m_finestra.Image1_Click();
}

void Form1::MostraPannello(Pannello pannello, bool aperto)
{
    Riquadro* riquadro = pannello == Pannello::Frame3 ? Frame3 : Frame4;
    if (aperto)
        ApriPannello(riquadro, pannello == Pannello::Frame3 ? Command3 : Image1);
    else
        ChiudiPannello(riquadro);
}

void Form1::Command3_MouseDown()
{
    Command3->setBorderStyle(1);
}

void Form1::Command3_MouseUp()
{
    Command3->setBorderStyle(0);
}

void Form1::Image1_MouseDown()
{
    Image1->setBorderStyle(1);
}

void Form1::Image1_MouseUp()
{
    Image1->setBorderStyle(0);
}

void Form1::mnexit_Click()
{
    m_finestra.mnexit_Click();
}

bool Form1::Domanda(const std::string& testo, const std::string& titolo)
{
    return DomandaSiNo(m_hwnd, testo, titolo);
}

void Form1::Termina()
{
    // At once: no tick, reset or second question runs after this, and no sound plays on.
    AbilitaTimer(false);
    Module1::Ferma();
    ExitProcess(0);
}
