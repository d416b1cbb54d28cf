#pragma once

#include "foundation/Lang/Trace.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "servicemap/ServiceFormats.h"
#include "servicemap/ServiceListView.h"

#include <ole2.h>

#include <iterator>

// What the assigned and the unassigned service lists share around their list view: the drag
// source, the drag loop, the formats, and the window whose list is a drop target while it lives.
// The control's own IDataObject is the data of its drags, so a drop target asks the very
// control a service came from, and hands a displaced service back to it through SetData.
// T declares `displayName`, `columnTitles[]`, `FillRows()`, `RowText(row, column, service)` and
// `BeginDrag()`, and answers GetData, QueryGetData, SetData and IDropTarget.
template <class T, class Default, const CLSID* Clsid>
class ServiceListControl : public Fw::Control<T, Default, Clsid>,
                           public Fw::PersistStorage,
                           public Fw::DataObject,
                           public Fw::SpecifyPropertyPages,
                           public IDropTarget,
                           public IDropSource {
public:
    static inline const auto interfaces =
        Fw::Interfaces(Fw::ControlInterfaces<T>(), Fw::Entry<T, IPersistStorage>(), Fw::Entry<T, IDataObject>(),
                       Fw::Entry<T, ISpecifyPropertyPages>(), Fw::Entry<T, IDropTarget>(),
                       Fw::Entry<T, IDropSource>());

    // IDropSource: Escape cancels, releasing the left button drops, the system draws the cursor.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override {
        if (fEscapePressed)
            return DRAGDROP_S_CANCEL;
        return (grfKeyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

    const Fw::ListView& List() const { return m_view.List(); }

    int OnCreate(const CREATESTRUCTA*) {
        if (!m_view.Create(this->m_hWnd))
            return -1;
        // Without OLE on the thread the list still shows its rows; it only takes no drops.
        if (const HRESULT status = ::RegisterDragDrop(m_view.List().Handle(), static_cast<IDropTarget*>(this));
            FAILED(status))
            Lang::Trace("%s: no drop target (0x%08lx)", T::displayName, static_cast<unsigned long>(status));
        m_formats = ServiceFormats::Register();
        m_view.AddColumns(T::columnTitles);
        static_cast<T*>(this)->FillRows();
        return 0;
    }
    void OnDestroy() {
        ::RevokeDragDrop(m_view.List().Handle());
        m_view.Destroy();
    }
    void OnSize(UINT, SIZE client) {
        if (m_view.List())
            m_view.List().Move({0, 0, client.cx, client.cy});
    }
    void OnSetFocus(HWND) {
        this->PassOn();
        if (m_view.List())
            m_view.List().SetFocus();
    }
    LRESULT OnGetDispInfo(NMHDR* header) {
        auto& request = *reinterpret_cast<NMLVDISPINFOA*>(header);
        ServiceListView::Supply(request, static_cast<T*>(this)->RowText(request.item.iItem, request.item.iSubItem,
                                                                         m_view.ServiceAt(request.item.iItem)));
        return 0;
    }
    LRESULT OnBeginDrag(NMHDR*) {
        static_cast<T*>(this)->BeginDrag();
        return 0;
    }

    static inline const Fw::MessageEntry<T> messages[] = {
        Fw::OnMessage<WM_CREATE, &ServiceListControl::OnCreate>(),
        Fw::OnMessage<WM_DESTROY, &ServiceListControl::OnDestroy>(),
        Fw::OnMessage<WM_SIZE, &ServiceListControl::OnSize>(),
        Fw::OnMessage<WM_SETFOCUS, &ServiceListControl::OnSetFocus>(),
        Fw::OnNotify<ServiceListView::listId, LVN_GETDISPINFOA, &ServiceListControl::OnGetDispInfo>(),
        Fw::OnNotify<ServiceListView::listId, LVN_BEGINDRAG, &ServiceListControl::OnBeginDrag>(),
    };

protected:
    // The platform's drag loop over the control's own data, copying allowed; true when it ended
    // in a drop that copied. The mouse is the control's while it runs.
    bool RunDragLoop() {
        ::SetCapture(this->m_hWnd);
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT status = ::DoDragDrop(static_cast<IDataObject*>(this), static_cast<IDropSource*>(this),
                                            DROPEFFECT_COPY, &effect);
        ::ReleaseCapture();
        return status == DRAGDROP_S_DROP && effect == DROPEFFECT_COPY;
    }

    ServiceFormats m_formats;
    ServiceListView m_view;
};
