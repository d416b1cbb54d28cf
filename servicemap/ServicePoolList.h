#pragma once

#include "interfaces/OstrelUITools.h"
#include "servicemap/ServiceListControl.h"

#include <array>

// "Unassigned Services": the services a device may still be given, each once, in the order the
// map's vocabulary keeps them. A service dragged onto a device leaves the list (DATA and NULL,
// which may be on several devices, stay); one taken off a device comes back at its place by
// name. WriteDevTable hides what the map assigns and lists the rest again.
class CRdmSvcPool : public ServiceListControl<CRdmSvcPool, IRdmSvcPool, &CLSID_RdmSvcPool> {
public:
    static constexpr const char* displayName = "RdmSvcPool";
    static constexpr const char* columnTitles[] = {"service"};

    // IRdmSvcPool
    HRESULT STDMETHODCALLTYPE WriteDevTable(IUnknown* pIn) override;

    // IDataObject: the service of the selected row as "NORVIK_RDM_SERVICE_UNASSIGNED" and the
    // devices it may go to as "NORVIK_RDM_COMPAT_LIST".
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pformatetc) override;
    // A service a device gave up when another was dropped on it.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;

    // IDropTarget: only a device of the assigned list is taken.
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                        DWORD* pdwEffect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;

    void FillRows();
    const char* RowText(int row, int column, int service) const;
    void BeginDrag();

private:
    std::array<CLIPFORMAT, 2> Offered() const { return {m_formats.Unassigned(), m_formats.CompatibleDevices()}; }
    // Lists a service before the first row whose name sorts after its own (NULL and services
    // already listed excepted) and scrolls it into sight.
    void InsertSorted(int service);
};
