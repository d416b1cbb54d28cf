#include "servicemap/ServiceAssignList.h"

#include "foundation/Com/Failure.h"
#include "servicemap/DragData.h"
#include "servicemap/MapStream.h"

namespace {

// The device a row shows.
int DeviceOfRow(int row) {
    return row + ServiceMap::firstShownDevice;
}

} // namespace

void CRdmSvcAsgn::FillRows() {
    for (int row = 0; row < rowCount; ++row)
        m_view.AppendRow(ServiceMap::nullService);
}

const char* CRdmSvcAsgn::RowText(int row, int column, int service) const {
    return column == 0 ? ServiceMap::DeviceName(DeviceOfRow(row)) : ServiceMap::ServiceName(service);
}

std::vector<int> CRdmSvcAsgn::RowServices() const {
    std::vector<int> services(static_cast<size_t>(List().GetItemCount()));
    for (size_t row = 0; row < services.size(); ++row)
        services[row] = m_view.ServiceAt(static_cast<int>(row));
    return services;
}

HRESULT CRdmSvcAsgn::WriteDevTable(IUnknown* pIn) {
    return Fw::Boundary([&] {
        const ServiceMap::ReadResult read = ServiceMap::ReadTableFrom(pIn);
        const std::vector<int> before = RowServices();
        std::vector<int> after = before;
        ServiceMap::ApplyTable(read, after);
        for (size_t row = 0; row < after.size(); ++row)
            if (after[row] != before[row])
                m_view.SetServiceAt(static_cast<int>(row), after[row]);
    });
}

HRESULT CRdmSvcAsgn::ReadDevTable(IUnknown** pOut) {
    return Fw::Boundary(pOut, [&] {
        *pOut = ServiceMap::NewStream(ServiceMap::TableOfRows(RowServices())).Detach();
    });
}

HRESULT CRdmSvcAsgn::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) {
    if (!pformatetcIn || !pmedium)
        return E_INVALIDARG;
    const CLIPFORMAT offered[] = {m_formats.Assigned()};
    if (const HRESULT match = ServiceFormats::Match(*pformatetcIn, offered); FAILED(match))
        return match;
    if (m_dragRow < 0)
        return DRAGDROP_S_CANCEL;
    return Fw::Boundary([&] {
        *pmedium = ServiceFormats::StreamMedium(ServiceMap::ServiceBytes(m_view.ServiceAt(m_dragRow)));
    });
}

HRESULT CRdmSvcAsgn::QueryGetData(FORMATETC* pformatetc) {
    const CLIPFORMAT offered[] = {m_formats.Assigned()};
    return pformatetc ? ServiceFormats::Match(*pformatetc, offered) : E_INVALIDARG;
}

HRESULT CRdmSvcAsgn::SetData(FORMATETC*, STGMEDIUM* pmedium, BOOL fRelease) {
    if (!pmedium)
        return E_INVALIDARG;
    if (fRelease)
        ::ReleaseStgMedium(pmedium);
    return S_OK;
}

DWORD CRdmSvcAsgn::EffectAt(int row, POINTL screen) {
    DWORD effect = row >= 0 && m_devices.contains(DeviceOfRow(row)) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    POINT cursor = {screen.x, screen.y};
    ::ScreenToClient(List().Handle(), &cursor);
    if (m_scroll.Apply(List(), cursor, ::GetTickCount()))
        effect |= DROPEFFECT_SCROLL;
    return effect;
}

HRESULT CRdmSvcAsgn::DragEnter(IDataObject* pDataObj, DWORD, POINTL pt, DWORD* pdwEffect) {
    if (!pdwEffect)
        return E_INVALIDARG;
    return Fw::Boundary([&] {
        *pdwEffect = DROPEFFECT_NONE;
        m_devices.clear();
        if (const auto stream = ServiceFormats::StreamFrom(pDataObj, m_formats.CompatibleDevices()))
            m_devices = ServiceMap::DevicesFromBytes(
                ServiceMap::ReadFromStart(stream.Get(), ServiceMap::compatibleDevicesLimit));
        m_scroll.Start(::GetTickCount());
        *pdwEffect = EffectAt(m_view.RowAt(m_hWnd, pt), pt);
    });
}

HRESULT CRdmSvcAsgn::DragOver(DWORD, POINTL pt, DWORD* pdwEffect) {
    if (!pdwEffect)
        return E_INVALIDARG;
    return Fw::Boundary([&] {
        const int row = m_view.RowAt(m_hWnd, pt);
        if (row >= 0) {
            m_view.HighlightRow(row);
            List().SetSelectionMark(row);
        }
        *pdwEffect = EffectAt(row, pt);
    });
}

HRESULT CRdmSvcAsgn::DragLeave() {
    m_view.RemoveHighlight();
    m_devices.clear();
    m_scroll.Stop();
    return S_OK;
}

HRESULT CRdmSvcAsgn::Drop(IDataObject* pDataObj, DWORD, POINTL pt, DWORD* pdwEffect) {
    if (!pdwEffect)
        return E_INVALIDARG;
    // Whatever the outcome, the next drag starts with no devices of its own.
    const std::set<int> devices = std::exchange(m_devices, {});
    *pdwEffect = DROPEFFECT_NONE;
    return Fw::Boundary([&] {
        m_view.RemoveHighlight();
        const int row = m_view.RowAt(m_hWnd, pt);
        if (row < 0 || !devices.contains(DeviceOfRow(row)))
            return S_OK;
        const std::optional<int> service = ServiceFormats::ServiceFrom(pDataObj, m_formats.Unassigned());
        if (!service)
            return E_FAIL;
        const int displaced = m_view.ServiceAt(row);
        m_view.SetServiceAt(row, *service);
        FORMATETC format = ServiceFormats::Request(m_formats.Unassigned());
        // The medium stays ours whatever the source makes of it.
        STGMEDIUM handedBack = ServiceFormats::StreamMedium(ServiceMap::ServiceBytes(displaced));
        pDataObj->SetData(&format, &handedBack, FALSE);
        ::ReleaseStgMedium(&handedBack);
        *pdwEffect = DROPEFFECT_COPY;
        return S_OK;
    });
}

void CRdmSvcAsgn::BeginDrag() {
    const int row = m_view.SelectionMark();
    if (row < 0)
        return;
    m_dragRow = row;
    if (RunDragLoop())
        m_view.SetServiceAt(m_dragRow, ServiceMap::nullService);
    m_dragRow = -1;
}
