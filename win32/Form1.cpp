// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

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

using Disposizione::Riga;
using Disposizione::Tipo;

namespace {

constexpr wchar_t Classe[] = L"Form1";
constexpr DWORD Stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD StileEsteso = WS_EX_CONTROLPARENT;

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
    , m_voci(m_esperimento, m_finestra)
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
    m_disposti.Crea(m_hwnd, m_istanza);
    const auto Cerca
        = [this](const char* nome, int indice = -1) { return m_disposti.Cerca(nome, indice); };
    const auto riquadro = [&](const char* nome) { return Cerca(nome)->riquadro; };
    const auto figura = [&](const char* nome) { return Cerca(nome)->figura; };
    Frame1 = riquadro("Frame1");
    Frame2 = riquadro("Frame2");
    Frame3 = riquadro("Frame3");
    Frame4 = riquadro("Frame4");
    Command1 = Cerca("Command1")->hwnd;
    for (int indice = 0; indice < 4; ++indice) {
        Option1[std::size_t(indice)] = Cerca("Option1", indice)->hwnd;
        Option2[std::size_t(indice)] = Cerca("Option2", indice)->hwnd;
        m_voci.SeguiOpzione(Option1[std::size_t(indice)], Etichetta::lblPSLiquido);
        m_voci.SeguiOpzione(Option2[std::size_t(indice)], Etichetta::lblPSMateriale);
    }
    lblPSLiquido = Cerca("lblPSLiquido")->hwnd;
    lblPSMateriale = Cerca("lblPSMateriale")->hwnd;
    Command3 = figura("Command3");
    Image1 = figura("Image1");

    m_fuoco.Imposta(m_hwnd, Command1, PostiTab());
    m_fuoco.PrimaDelTab([this](Posto ora, bool avanti) { return m_finestra.Tab(ora, avanti); });
    m_fuoco.Nomina({ { Posto::Option1, { Option1.begin(), Option1.end() } },
        { Posto::Option2, { Option2.begin(), Option2.end() } }, { Posto::Command1, { Command1 } },
        { Posto::imgContenitore, { Picture(Immagine::imgContenitore)->hwnd() } },
        { Posto::Command3, { Command3->hwnd() } }, { Posto::Image1, { Image1->hwnd() } } });

    ImpostaImmagini();
    CollegaEventi();
    AggiornaNomi();
    // An open panel takes the focus on its arrow.
    Voci::Descrivi(Pannello::Frame3, Frame3, Command3);
    Voci::Descrivi(Pannello::Frame4, Frame4, Image1);
}

std::vector<std::vector<HWND>> Form1::PostiTab() const
{
    std::vector<const Controllo*> righe;
    for (const Controllo& controllo : m_disposti.Tutti())
        if (controllo.riga->tabIndex >= 0)
            righe.push_back(&controllo);
    std::stable_sort(righe.begin(), righe.end(), [](const Controllo* a, const Controllo* b) {
        return a->riga->tabIndex < b->riga->tabIndex;
    });
    std::vector<std::vector<HWND>> posti;
    for (const Controllo* controllo : righe) {
        const Riga& riga = *controllo->riga;
        if (riga.tipo == Tipo::OptionButton) {
            if (riga.indice != 0)
                continue; // the group takes one place, at its first button
            const auto& gruppo = std::strcmp(riga.nome, "Option1") == 0 ? Option1 : Option2;
            posti.emplace_back(gruppo.begin(), gruppo.end());
        } else if (riga.tipo == Tipo::CommandButton) {
            posti.push_back({ controllo->hwnd });
        } else if (controllo->riquadro == Frame3) {
            posti.push_back({ Command3->hwnd() });
        } else if (controllo->riquadro == Frame4) {
            posti.push_back({ Image1->hwnd() });
        }
    }
    return posti;
}

void Form1::ImpostaImmagini()
{
    CaricaBitmap(Immagine::imgContenitore, Catalogo::Liquidi[0].bitmapContenitore);
    Picture(Immagine::imgGhiaccio)
        ->ImpostaIcona(Icona(DisegniForm::CorpoGhiaccio), Grandi(m_istanza, Grande::Ghiaccio));
    Picture(Immagine::imgFerro)
        ->ImpostaIcona(Icona(DisegniForm::CorpoFerro), Grandi(m_istanza, Grande::Ferro));
    Picture(Immagine::imgRame)
        ->ImpostaIcona(Icona(DisegniForm::CorpoRame), Grandi(m_istanza, Grande::Rame));
    Picture(Immagine::imgLegno)
        ->ImpostaIcona(Icona(DisegniForm::CorpoLegno), Grandi(m_istanza, Grande::Legno));

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
        SendMessageW(m_disposti.Tooltip(), TTM_ADDTOOLW, 0, LPARAM(&strumento));
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

void Form1::Disponi(int dpi)
{
    m_dpi = dpi;
    m_disposti.Disponi(dpi, [this](const Riga& riga) { return Top(riga); });

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

const Form1::Controllo* Form1::ControlloDi(Immagine img) const
{
    return m_disposti.Cerca(Nome(img));
}

float Form1::Top(const Riga& riga) const
{
    for (int i = 0; i < NumeroImmagini; ++i)
        if (std::strcmp(Nome(Immagine(i)), riga.nome) == 0)
            return m_esperimento.Top(Immagine(i));
    return float(riga.top); // the arrows, which never move
}

Figura* Form1::Picture(Immagine img) const
{
    return ControlloDi(img)->figura;
}

// Names for whoever reads the window rather than looks at it; they follow the choices.
void Form1::AggiornaNomi()
{
    m_voci.Nomina([this](Immagine img) { return Picture(img); }, Command3, Image1);
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
                m_fuoco.Premi();
            return 0;
        }
        const Controllo* trovato = m_disposti.DiId(id);
        if (HIWORD(w) != BN_CLICKED || !trovato)
            return 0;
        const Controllo& controllo = *trovato;
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
        FillRect(HDC(w), &area, Tavolozza::Sfondo(m_disposti.SfondoForm(), true));
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
        return m_disposti.Colora(HDC(w), HWND(l));
    case WM_CLOSE:
        // Yes ends the process inside; No cancels, and the window stays as it was.
        if (m_finestra.Form_Unload())
            return 0;
        break;
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
            m_fuoco.Ricorda();
            return 0;
        }
        if (HIWORD(w)) // minimized
            break;
        if (const HWND fuoco = m_fuoco.DaRendere())
            SetFocus(fuoco);
        return 0;
    case RendiFuoco:
        if (GetActiveWindow() == m_hwnd && !IsChild(m_hwnd, GetFocus()))
            m_fuoco.Dai(m_fuoco.DaRendere());
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
    const Controllo* controllo = ControlloDi(img);
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
    if (abilitato == bool(IsWindowEnabled(Command1)))
        return;
    // Where the focus is, or where it goes back to as the window is active again.
    const HWND fuoco = GetFocus();
    const Posto ora = m_fuoco.PostoDi(IsChild(m_hwnd, fuoco) ? fuoco : m_fuoco.Salvato());
    if (!abilitato && Finestra::FuocoAllAvvio(ora) != ora) {
        // A disabled button keeps no focus; the tank says why it has it.
        Picture(Immagine::imgContenitore)->setDescrizione(Largo(Lettura::CorsaAvviata));
        m_fuoco.Dai(Picture(Immagine::imgContenitore)->hwnd());
    }
    EnableWindow(Command1, abilitato);
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, Command1, OBJID_CLIENT, CHILDID_SELF);
    if (abilitato && Finestra::FuocoAllaFine(ora) != ora)
        m_fuoco.Dai(Command1);
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
    Picture(Immagine::imgContenitore)->setDescrizione({}); // the run is over
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
    const bool okPrima = IsWindowEnabled(Command1);
    m_esperimento.ScegliLiquido(index);
    DopoLaScelta(Posto::Option1, Option1.at(std::size_t(index)), okPrima);
}

void Form1::Option2_Click(int index)
{
    const bool okPrima = IsWindowEnabled(Command1);
    m_esperimento.ScegliMateriale(index);
    DopoLaScelta(Posto::Option2, Option2.at(std::size_t(index)), okPrima);
}

void Form1::DopoLaScelta(Posto gruppo, HWND scelta, bool okPrima)
{
    m_finestra.Scelto(gruppo, okPrima, IsWindowEnabled(Command1));
    AggiornaNomi();
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, scelta, OBJID_CLIENT, CHILDID_SELF);
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
        m_fuoco.ApriPannello(
            riquadro->hwnd(), (pannello == Pannello::Frame3 ? Command3 : Image1)->hwnd());
    else
        m_fuoco.ChiudiPannello(riquadro->hwnd(),
            m_fuoco.Hwnd(m_finestra.FuocoDopoLaChiusura(pannello, IsWindowEnabled(Command1))));
}

bool Form1::PreTraduci(MSG& messaggio)
{
    const bool fatto = m_fuoco.PreTraduci(messaggio);
    if (const HWND salvato = m_fuoco.Salvato())
        m_finestra.FuocoA(m_fuoco.PostoDi(salvato));
    return fatto;
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
