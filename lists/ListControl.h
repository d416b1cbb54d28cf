#pragma once

#include "framework/com/Module.h"
#include "framework/controls/PropertyTable.h"
#include "framework/windows/ListView.h"
#include "lists/ListViewHelper.h"
#include "lists/ListViewWindow.h"
#include "lists/ViewConnection.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <iterator>
#include <memory>
#include <span>

// What a list control does alike around its one list view, for a control class T that derives
// from it besides its Fw::Control: the list window, subclassed as ListViewWindow<T>; the helper
// with its columns and icon strips; the Show...Label flags of T's property table `shownFlags`,
// each by the column it shows (noColumn: none); its hold on the server and StartupEx over it;
// and the messages that concern only the list view, which T names in its own message map.
// A list without such flags has LabelCount 0 and no table. T befriends this class, whose
// lifecycle steps call T's Startup, InitializeList, Detach and LoadRows and reach its `m_rows`.
template <class T, size_t LabelCount>
class ListControl {
public:
    static constexpr int noColumn = -1;

    ListControl() { m_shown.fill(1); }

    void OnSize(UINT, SIZE client) {
        if (m_list)
            m_list.Move({0, 0, client.cx, client.cy});
    }
    void OnDrawItem(UINT, DRAWITEMSTRUCT* draw) {
        if (m_helper && draw)
            m_helper->DrawItem(*draw);
    }
    void OnEnable(bool enabled) {
        if (m_list) {
            m_list.Enable(enabled);
            m_list.Invalidate();
        }
    }
    // The rows' items are the control's own: the list need not announce each row it deletes.
    LRESULT OnDeleteAllItems(NMHDR*) { return TRUE; }
    void OnSysColorChange() {
        // Common controls hear of new colours only from their parent.
        if (m_list)
            m_list.Send(WM_SYSCOLORCHANGE);
    }

protected:
    // The list view over the control's client area, made in T's WM_CREATE: report view, one
    // selected row shown always, owner-drawn rows, image lists owned by the helper.
    bool CreateList(HWND control, int id, DWORD extraStyle = 0) {
        RECT client = {};
        ::GetClientRect(control, &client);
        const HWND list = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                                LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED | LVS_SHAREIMAGELISTS |
                                                extraStyle,
                                            0, 0, client.right, client.bottom, control,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                            Fw::Module::Current().Instance(), nullptr);
        if (!list)
            return false;
        m_list = Fw::ListView(list);
        m_listView.Subclass(list);
        return true;
    }
    // In T's WM_DESTROY, after the rows are gone.
    void DestroyList() {
        m_helper.reset();
        m_listView.Unsubclass();
        m_list = Fw::ListView();
    }

    // Startup's part: the helper, both strips and every column (a hidden one at width 0);
    // false without a window yet.
    bool StartList(std::span<const ListColumn> columns, UINT smallStrip, UINT largeStrip) {
        if (!m_list.Exists())
            return false;
        m_helper = std::make_unique<CListViewHelper>(m_list.Handle());
        m_helper->LoadImageLists(smallStrip, largeStrip);
        // A list started again after Shutdown still has the columns of before.
        m_helper->RemoveColumns();
        for (int column = 0; column < int(columns.size()); ++column)
            m_helper->AddColumn(column, columns[column], ColumnShown(column));
        return true;
    }

    // Startup: the helper, strips and columns once, and T's rows `m_rows` set in the list. A list
    // without its window yet has no columns to make and answers success; InitializeList starts
    // it later.
    HRESULT StartRows(std::span<const ListColumn> columns, UINT smallStrip, UINT largeStrip) {
        if (m_started || !StartList(columns, smallStrip, largeStrip))
            return S_OK;
        static_cast<T&>(*this).m_rows.SetList(m_helper.get());
        m_started = true;
        return S_OK;
    }

    // InitializeList: general failure without a window; else started when it was not, detached
    // from an earlier agent (T's Detach), and, when the object is an agent, the rows read from it
    // (T's LoadRows). A view without an agent stays empty.
    HRESULT AttachRows(IUnknown* agentObject) {
        if (!m_list.Exists())
            return E_FAIL;
        T& self = static_cast<T&>(*this);
        if (!m_started)
            self.Startup();
        if (m_connection.Agent())
            self.Detach();
        if (m_connection.Attach(agentObject)) {
            self.m_rows.SetAgent(m_connection.Agent());
            self.LoadRows();
        }
        self.FireViewChange();
        return S_OK;
    }

    // Shutdown, once T has detached and dropped its rows: the own agent handed back, the rows out
    // of the list, the helper gone, the list no longer started.
    void StopRows() {
        m_connection.ReleaseOwnAgent();
        static_cast<T&>(*this).m_rows.SetList(nullptr);
        m_helper.reset();
        m_started = false;
    }

    // StartupEx: refused once started; else an agent of the list's own on the server, the list's
    // current agent let go, then T's Startup and InitializeList with the new agent.
    HRESULT StartOnServer(IUnknown* server) {
        if (m_started)
            return E_FAIL;
        T& self = static_cast<T&>(*this);
        return m_connection.StartOnServer(
            server, [&] { self.Detach(); },
            [&](IOstrelConfigAgent* agent) {
                const HRESULT status = self.Startup();
                return SUCCEEDED(status) ? self.InitializeList(agent) : status;
            });
    }

    int SelectedRow() const { return m_list.Exists() ? m_list.SelectedItem() : -1; }
    // The list's view (LVS_ICON, LVS_SMALLICON, LVS_LIST or LVS_REPORT), painted anew.
    void SwitchView(DWORD view) {
        if (!m_list)
            return;
        ::SetWindowLongPtrA(m_list.Handle(), GWL_STYLE, (m_list.Style() & ~LVS_TYPEMASK) | view);
        m_list.Invalidate();
    }

    LONG Shown(DISPID id) const { return m_shown[LabelIndex(id)]; }
    // Stores a label's flag; when it changed, its column (if it has one) takes its resource
    // width or 0, and the answer is true. Columns are never removed, so indexes never move.
    bool SetShown(DISPID id, LONG value, std::span<const ListColumn> columns) {
        const size_t index = LabelIndex(id);
        if (m_shown[index] == value)
            return false;
        m_shown[index] = value;
        const int column = T::shownFlags[index].slot;
        if (column != noColumn && m_helper)
            m_helper->ShowColumn(column, columns[column], value != 0);
        return true;
    }
    // A column no label names is always shown.
    bool ColumnShown(int column) const {
        if constexpr (LabelCount > 0) {
            for (size_t index = 0; index < LabelCount; ++index)
                if (T::shownFlags[index].slot == column)
                    return m_shown[index] != 0;
        }
        return true;
    }

    Fw::ListView m_list;
    ListViewWindow<T> m_listView{static_cast<T&>(*this)};
    std::unique_ptr<CListViewHelper> m_helper;
    ViewConnection m_connection;
    bool m_started = false;

private:
    static size_t LabelIndex(DISPID id) {
        return static_cast<size_t>(&Fw::FindProperty(T::shownFlags, id) - std::begin(T::shownFlags));
    }

    std::array<LONG, LabelCount> m_shown{};
};
