#include "servicemap/ServicePoolList.h"

#include "foundation/Com/Failure.h"
#include "servicemap/DragData.h"
#include "servicemap/MapStream.h"
#include "servicemap/ServiceMap.h"

#include <cstring>
#include <set>

void CRdmSvcPool::FillRows() {
    for (const int service : ServiceMap::PoolOrder())
        if (ServiceMap::IsOffered(service))
            m_view.AppendRow(service);
}

const char* CRdmSvcPool::RowText(int, int, int service) const {
    return ServiceMap::ServiceName(service);
}

void CRdmSvcPool::InsertSorted(int service) {
    if (service == ServiceMap::nullService || m_view.RowOf(service) >= 0)
        return;
    const char* name = ServiceMap::ServiceName(service);
    const int count = List().GetItemCount();
    int row = 0;
    while (row < count && std::strcmp(ServiceMap::ServiceName(m_view.ServiceAt(row)), name) <= 0)
        ++row;
    List().EnsureVisible(m_view.InsertRow(row, service));
}

HRESULT CRdmSvcPool::WriteDevTable(IUnknown* pIn) {
    return Fw::Boundary([&] {
        const ServiceMap::ReadResult read = ServiceMap::ReadTableFrom(pIn);
        // DATA may be on several devices and so is never taken out of the list.
        const size_t devices = std::min(read.count, ServiceMap::tableSize - 1);
        std::set<int> assigned;
        for (size_t device = 0; device < devices; ++device)
            if (read.table[device] != ServiceMap::noServiceByte && read.table[device] != ServiceMap::dataService)
                assigned.insert(read.table[device]);
        for (const int service : ServiceMap::PoolOrder()) {
            const bool hidden = assigned.contains(service) || !ServiceMap::IsOffered(service);
            const int row = m_view.RowOf(service);
            if (hidden && row >= 0)
                List().DeleteItem(row);
            else if (!hidden && row < 0)
                m_view.AppendRow(service);
        }
    });
}

HRESULT CRdmSvcPool::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) {
    if (!pformatetcIn || !pmedium)
        return E_INVALIDARG;
    if (const HRESULT match = ServiceFormats::Match(*pformatetcIn, Offered()); FAILED(match))
        return match;
    const int row = m_view.SelectionMark();
    if (row < 0)
        return DRAGDROP_S_CANCEL;
    const int service = m_view.ServiceAt(row);
    return Fw::Boundary([&] {
        *pmedium = ServiceFormats::StreamMedium(pformatetcIn->cfFormat == m_formats.Unassigned()
                                                    ? ServiceMap::ServiceBytes(service)
                                                    : ServiceMap::CompatibleDeviceBytes(service));
    });
}

HRESULT CRdmSvcPool::QueryGetData(FORMATETC* pformatetc) {
    return pformatetc ? ServiceFormats::Match(*pformatetc, Offered()) : E_INVALIDARG;
}

HRESULT CRdmSvcPool::SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) {
    if (!pformatetc || !pmedium)
        return E_INVALIDARG;
    const auto offered = Offered();
    if (std::find(offered.begin(), offered.end(), pformatetc->cfFormat) == offered.end())
        return DV_E_FORMATETC;
    if (pmedium->tymed != TYMED_ISTREAM || !pmedium->pstm)
        return DV_E_TYMED;
    const HRESULT status = Fw::Boundary([&] {
        if (const auto service = ServiceMap::ServiceFromBytes(ServiceMap::ReadFromStart(pmedium->pstm, 4)))
            InsertSorted(*service);
    });
    if (fRelease)
        ::ReleaseStgMedium(pmedium);
    return status;
}

HRESULT CRdmSvcPool::DragEnter(IDataObject* pDataObj, DWORD, POINTL, DWORD* pdwEffect) {
    if (!pdwEffect)
        return E_INVALIDARG;
    FORMATETC request = ServiceFormats::Request(m_formats.Assigned());
    if (pDataObj && pDataObj->QueryGetData(&request) == S_OK) {
        *pdwEffect = DROPEFFECT_COPY;
        return S_OK;
    }
    *pdwEffect = DROPEFFECT_NONE;
    return DRAGDROP_S_CANCEL;
}

HRESULT CRdmSvcPool::DragOver(DWORD, POINTL pt, DWORD* pdwEffect) {
    if (!pdwEffect)
        return E_INVALIDARG;
    *pdwEffect = *pdwEffect == DROPEFFECT_COPY ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    if (const int row = m_view.RowAt(m_hWnd, pt); row >= 0) {
        m_view.HighlightRow(row);
        *pdwEffect = DROPEFFECT_COPY;
    }
    return S_OK;
}

HRESULT CRdmSvcPool::DragLeave() {
    m_view.RemoveHighlight();
    return S_OK;
}

HRESULT CRdmSvcPool::Drop(IDataObject* pDataObj, DWORD, POINTL, DWORD* pdwEffect) {
    if (!pdwEffect)
        return E_INVALIDARG;
    m_view.RemoveHighlight();
    if (*pdwEffect != DROPEFFECT_COPY) {
        *pdwEffect = DROPEFFECT_NONE;
        return S_OK;
    }
    *pdwEffect = DROPEFFECT_NONE;
    return Fw::Boundary([&] {
        const std::optional<int> service = ServiceFormats::ServiceFrom(pDataObj, m_formats.Assigned());
        if (!service)
            return E_FAIL;
        InsertSorted(*service);
        *pdwEffect = DROPEFFECT_COPY;
        return S_OK;
    });
}

void CRdmSvcPool::BeginDrag() {
    const int row = m_view.SelectionMark();
    if (row < 0)
        return;
    const int service = m_view.ServiceAt(row);
    // DATA may go to several devices and NULL to any: both stay listed.
    if (RunDragLoop() && service != ServiceMap::nullService && service != ServiceMap::dataService)
        if (const int listed = m_view.RowOf(service); listed >= 0)
            List().DeleteItem(listed);
}
