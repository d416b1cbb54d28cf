#pragma once

#include "interfaces/OstrelUITools.h"
#include "servicemap/DragAutoScroll.h"
#include "servicemap/ServiceListControl.h"
#include "servicemap/ServiceMap.h"

#include <set>

// "Assigned Services": a phone's devices 1 to 21, one row each, with the service each carries.
// A service dropped from the unassigned list onto a device that may carry it replaces the
// device's service, which goes back to where the service came from; a device dragged to the
// unassigned list loses its service. WriteDevTable and ReadDevTable pass the map in and out.
class CRdmSvcAsgn : public ServiceListControl<CRdmSvcAsgn, IRdmSvcAsgn, &CLSID_RdmSvcAsgn> {
public:
    static constexpr const char* displayName = "RdmSvcAsgn";
    static constexpr const char* columnTitles[] = {"device", "service"};
    static constexpr int rowCount = ServiceMap::lastShownDevice - ServiceMap::firstShownDevice + 1;

    // IRdmSvcAsgn
    HRESULT STDMETHODCALLTYPE WriteDevTable(IUnknown* pIn) override;
    HRESULT STDMETHODCALLTYPE ReadDevTable(IUnknown** pOut) override;

    // IDataObject: the service of the row being dragged, as "NORVIK_RDM_SERVICE_ASSIGNED".
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pformatetc) override;
    // A drop target hands a service back to where it came from; the devices keep none.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;

    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                        DWORD* pdwEffect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;

    void FillRows();
    const char* RowText(int row, int column, int service) const;
    void BeginDrag();

private:
    std::vector<int> RowServices() const;
    // Copy over a row the dragged service may go to, else nothing; the scroll flag when the
    // list scrolled.
    DWORD EffectAt(int row, POINTL screen);

    // The devices the service dragged over the list may go to.
    std::set<int> m_devices;
    int m_dragRow = -1;
    DragAutoScroll m_scroll;
};
