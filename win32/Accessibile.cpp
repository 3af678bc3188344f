// SPDX-License-Identifier: GPL-3.0-or-later
// The interface identifiers are defined here, in this one file: MinGW's import library would
// otherwise hand IID_IAccessible over as a thunk, and no client would ever get our object.
#include <initguid.h>

#include "Accessibile.h"

#include "Dll.h"

#include <oleacc.h>

namespace {

// COM and the accessibility DLLs cost every start-up something, and most starts never meet a
// screen reader: they are loaded when the first one asks for one of our objects, on the
// window's thread, where COM stays initialised from then on.
struct Servizi {
    decltype(CreateStdAccessibleObject)* creaOggetto
        = DaDll<decltype(CreateStdAccessibleObject)>(L"oleacc.dll", "CreateStdAccessibleObject");
    decltype(LresultFromObject)* risposta
        = DaDll<decltype(LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
    decltype(SysAllocString)* stringa
        = DaDll<decltype(SysAllocString)>(L"oleaut32.dll", "SysAllocString");
    bool com = [] {
        auto* inizializza = DaDll<decltype(CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        return inizializza && SUCCEEDED(inizializza(nullptr, COINIT_APARTMENTTHREADED));
    }();

    bool Pronti() const { return creaOggetto && risposta && stringa && com; }
};

const Servizi& Carica()
{
    static const Servizi servizi;
    return servizi;
}

bool Proprio(const VARIANT& figlio)
{
    return figlio.vt == VT_I4 && figlio.lVal == CHILDID_SELF;
}

HRESULT Testo(const std::function<std::wstring()>& fonte, BSTR* testo)
{
    const std::wstring valore = fonte();
    *testo = valore.empty() ? nullptr : Carica().stringa(valore.c_str());
    return valore.empty() ? S_FALSE : S_OK;
}

LONG RuoloDi(Accessibile::Ruolo ruolo)
{
    switch (ruolo) {
    case Accessibile::Ruolo::Grafico:
        return ROLE_SYSTEM_GRAPHIC;
    case Accessibile::Ruolo::Bottone:
        return ROLE_SYSTEM_PUSHBUTTON;
    case Accessibile::Ruolo::Raggruppamento:
        return ROLE_SYSTEM_GROUPING;
    case Accessibile::Ruolo::Dialogo:
        return ROLE_SYSTEM_DIALOG;
    case Accessibile::Ruolo::DelSistema:
        break;
    }
    return 0;
}

// The system's object for a client area, passed through but for what the window says itself.
// A client may keep it longer than the window lives: once the window is gone it answers no more.
class Oggetto final : public IAccessible, public IOleWindow {
public:
    Oggetto(HWND hwnd, IAccessible* sistema, const Accessibile& proprio)
        : m_hwnd(hwnd)
        , m_sistema(sistema)
        , m_proprio(proprio)
    {
    }
    ~Oggetto() { m_sistema->Release(); }
    Oggetto(const Oggetto&) = delete;
    Oggetto& operator=(const Oggetto&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** oggetto) override
    {
        if (!oggetto)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible)
            *oggetto = static_cast<IAccessible*>(this);
        else if (iid == IID_IOleWindow)
            *oggetto = static_cast<IOleWindow*>(this);
        else // the enumeration of the children and the rest are the system's
            return m_sistema->QueryInterface(iid, oggetto);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        return ULONG(InterlockedIncrement(&m_riferimenti));
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG rimasti = InterlockedDecrement(&m_riferimenti);
        if (!rimasti)
            delete this;
        return ULONG(rimasti);
    }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override
    {
        *hwnd = m_hwnd;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override
    {
        return m_sistema->GetTypeInfoCount(n);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lingua, ITypeInfo** info) override
    {
        return m_sistema->GetTypeInfo(i, lingua, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(
        REFIID iid, LPOLESTR* nomi, UINT n, LCID lingua, DISPID* id) override
    {
        return m_sistema->GetIDsOfNames(iid, nomi, n, lingua, id);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lingua, WORD flag,
        DISPPARAMS* parametri, VARIANT* esito, EXCEPINFO* eccezione, UINT* errore) override
    {
        return m_sistema->Invoke(id, iid, lingua, flag, parametri, esito, eccezione, errore);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** genitore) override
    {
        return m_sistema->get_accParent(genitore);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override
    {
        return m_sistema->get_accChildCount(n);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT figlio, IDispatch** oggetto) override
    {
        return m_sistema->get_accChild(figlio, oggetto);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT figlio, BSTR* nome) override
    {
        if (!nome)
            return E_POINTER;
        if (!IsWindow(m_hwnd))
            return RPC_E_DISCONNECTED;
        if (Proprio(figlio) && m_proprio.nome)
            return Testo(m_proprio.nome, nome);
        return m_sistema->get_accName(figlio, nome);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT figlio, BSTR* valore) override
    {
        return m_sistema->get_accValue(figlio, valore);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT figlio, BSTR* descrizione) override
    {
        if (!descrizione)
            return E_POINTER;
        if (!IsWindow(m_hwnd))
            return RPC_E_DISCONNECTED;
        if (Proprio(figlio) && m_proprio.descrizione)
            return Testo(m_proprio.descrizione, descrizione);
        return m_sistema->get_accDescription(figlio, descrizione);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT figlio, VARIANT* ruolo) override
    {
        if (!ruolo)
            return E_POINTER;
        if (Proprio(figlio) && RuoloDi(m_proprio.ruolo)) {
            ruolo->vt = VT_I4;
            ruolo->lVal = RuoloDi(m_proprio.ruolo);
            return S_OK;
        }
        return m_sistema->get_accRole(figlio, ruolo);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT figlio, VARIANT* stato) override
    {
        return m_sistema->get_accState(figlio, stato);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT figlio, BSTR* aiuto) override
    {
        return m_sistema->get_accHelp(figlio, aiuto);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT figlio, LONG* argomento) override
    {
        return m_sistema->get_accHelpTopic(file, figlio, argomento);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT figlio, BSTR* tasti) override
    {
        return m_sistema->get_accKeyboardShortcut(figlio, tasti);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* fuoco) override
    {
        return m_sistema->get_accFocus(fuoco);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* scelti) override
    {
        return m_sistema->get_accSelection(scelti);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT figlio, BSTR* azione) override
    {
        if (!azione)
            return E_POINTER;
        if (Proprio(figlio) && !m_proprio.azione.empty()) {
            *azione = Carica().stringa(m_proprio.azione.c_str());
            return S_OK;
        }
        return m_sistema->get_accDefaultAction(figlio, azione);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long modo, VARIANT figlio) override
    {
        return m_sistema->accSelect(modo, figlio);
    }
    HRESULT STDMETHODCALLTYPE accLocation(
        long* x, long* y, long* larghezza, long* altezza, VARIANT figlio) override
    {
        return m_sistema->accLocation(x, y, larghezza, altezza, figlio);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long verso, VARIANT da, VARIANT* a) override
    {
        return m_sistema->accNavigate(verso, da, a);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* trovato) override
    {
        return m_sistema->accHitTest(x, y, trovato);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT figlio) override
    {
        if (!IsWindow(m_hwnd))
            return RPC_E_DISCONNECTED;
        if (!Proprio(figlio) || !m_proprio.esegui)
            return m_sistema->accDoDefaultAction(figlio);
        if (!IsWindowVisible(m_hwnd) || !IsWindowEnabled(m_hwnd))
            return E_FAIL;
        m_proprio.esegui();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT figlio, BSTR nome) override
    {
        return m_sistema->put_accName(figlio, nome);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT figlio, BSTR valore) override
    {
        return m_sistema->put_accValue(figlio, valore);
    }

private:
    LONG m_riferimenti = 1;
    HWND m_hwnd;
    IAccessible* m_sistema; // owned
    Accessibile m_proprio;
};

} // namespace

LRESULT Accessibile::Rispondi(HWND hwnd, WPARAM w, LPARAM l) const
{
    if (LONG(l) != OBJID_CLIENT)
        return DefWindowProcW(hwnd, WM_GETOBJECT, w, l);
    const Servizi& servizi = Carica();
    if (!servizi.Pronti())
        return DefWindowProcW(hwnd, WM_GETOBJECT, w, l);
    IAccessible* sistema = nullptr;
    if (FAILED(servizi.creaOggetto(
            hwnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&sistema)))
        || !sistema)
        return 0;
    auto* oggetto = new Oggetto(hwnd, sistema, *this);
    const LRESULT risposta
        = servizi.risposta(IID_IAccessible, w, static_cast<IAccessible*>(oggetto));
    oggetto->Release();
    return risposta;
}
