#include "framework/controls/OleObject.h"

#include "framework/com/Boundary.h"

#include <comdef.h>

namespace Fw {

HRESULT OleObject::SetClientSite(IOleClientSite* pClientSite) {
    return Boundary([&] { SetSite(pClientSite); });
}

HRESULT OleObject::GetClientSite(IOleClientSite** ppClientSite) {
    return Boundary(ppClientSite,
                    [&] { Microsoft::WRL::ComPtr<IOleClientSite>(ClientSite()).CopyTo(ppClientSite); });
}

HRESULT OleObject::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT OleObject::Close(DWORD dwSaveOption) {
    return Boundary([&] {
        DeactivateInPlace();
        if (Dirty() && ClientSite() &&
            (dwSaveOption == OLECLOSE_SAVEIFDIRTY || dwSaveOption == OLECLOSE_PROMPTSAVE))
            ClientSite()->SaveObject();
        if (IOleAdviseHolder* holder = ExistingAdviseHolder())
            holder->SendOnClose();
    });
}

HRESULT OleObject::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}

HRESULT OleObject::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    return Boundary(ppmk, [] { return E_NOTIMPL; });
}

HRESULT OleObject::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}

HRESULT OleObject::GetClipboardData(DWORD, IDataObject** ppDataObject) {
    return Boundary(ppDataObject, [] { return E_NOTIMPL; });
}

HRESULT OleObject::DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG, HWND hwndParent, LPCRECT) {
    return Boundary([&]() -> HRESULT {
        // A container that skipped SetClientSite may still name the site the verb is for.
        if (!ClientSite() && pActiveSite)
            SetClientSite(pActiveSite);
        switch (iVerb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(iVerb);
        case OLEIVERB_HIDE:
            // Only an active control has a face to hide.
            return InPlaceActive() ? InPlaceActivate(iVerb) : S_OK;
        case OLEIVERB_PROPERTIES:
            return ShowPropertyFrame(hwndParent);
        default: {
            if (iVerb < 0)
                return E_NOTIMPL;
            // A verb the control does not know is taken for the primary one.
            const HRESULT status = InPlaceActivate(OLEIVERB_PRIMARY);
            return FAILED(status) ? status : OLEOBJ_S_INVALIDVERB;
        }
        }
    });
}

HRESULT OleObject::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) {
    return Boundary(ppEnumOleVerb, [&] { return ::OleRegEnumVerbs(ClassId(), ppEnumOleVerb); });
}

HRESULT OleObject::Update() {
    return S_OK;
}

HRESULT OleObject::IsUpToDate() {
    return S_OK;
}

HRESULT OleObject::GetUserClassID(CLSID* pClsid) {
    return Boundary(pClsid, [&] { *pClsid = ClassId(); });
}

HRESULT OleObject::GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) {
    return Boundary(pszUserType, [&] { return ::OleRegGetUserType(ClassId(), dwFormOfType, pszUserType); });
}

HRESULT OleObject::SetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
    return Boundary([&] { return ChangeExtent(dwDrawAspect, psizel); });
}

HRESULT OleObject::GetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
    return Boundary(psizel, [&] { return ReadExtent(dwDrawAspect, psizel); });
}

HRESULT OleObject::Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) {
    return Boundary(pdwConnection, [&] { return AdviseHolder()->Advise(pAdvSink, pdwConnection); });
}

HRESULT OleObject::Unadvise(DWORD dwConnection) {
    return Boundary([&] {
        IOleAdviseHolder* holder = ExistingAdviseHolder();
        return holder ? holder->Unadvise(dwConnection) : OLE_E_NOCONNECTION;
    });
}

HRESULT OleObject::EnumAdvise(IEnumSTATDATA** ppenumAdvise) {
    return Boundary(ppenumAdvise, [&] {
        IOleAdviseHolder* holder = ExistingAdviseHolder();
        return holder ? holder->EnumAdvise(ppenumAdvise) : E_FAIL;
    });
}

HRESULT OleObject::GetMiscStatus(DWORD, DWORD* pdwStatus) {
    return Boundary(pdwStatus, [&] { *pdwStatus = miscStatus; });
}

HRESULT OleObject::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

} // namespace Fw
