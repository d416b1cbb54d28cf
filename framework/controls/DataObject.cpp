#include "framework/controls/DataObject.h"

#include "framework/com/Boundary.h"

namespace Fw {

HRESULT DataObject::GetData(FORMATETC*, STGMEDIUM*) {
    return DV_E_FORMATETC;
}

HRESULT DataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return DV_E_FORMATETC;
}

HRESULT DataObject::QueryGetData(FORMATETC*) {
    return DV_E_FORMATETC;
}

HRESULT DataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pformatetcOut) {
    if (pformatetcOut)
        pformatetcOut->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT DataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT DataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** ppenumFormatEtc) {
    return Boundary(ppenumFormatEtc, [] { return OLE_S_USEREG; });
}

HRESULT DataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* pdwConnection) {
    return Boundary(pdwConnection, [] { return OLE_E_ADVISENOTSUPPORTED; });
}

HRESULT DataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT DataObject::EnumDAdvise(IEnumSTATDATA** ppenumAdvise) {
    return Boundary(ppenumAdvise, [] { return OLE_E_ADVISENOTSUPPORTED; });
}

} // namespace Fw
