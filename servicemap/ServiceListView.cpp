#include "servicemap/ServiceListView.h"

#include "framework/com/Module.h"

bool ServiceListView::Create(HWND control) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    RECT client = {};
    ::GetClientRect(control, &client);
    const HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "",
                                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL |
                                            LVS_NOSORTHEADER,
                                        0, 0, client.right, client.bottom, control,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(listId)),
                                        Fw::Module::Current().Instance(), nullptr);
    if (!list)
        return false;
    m_list = Fw::ListView(list);
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    return true;
}

void ServiceListView::Destroy() {
    m_list.Destroy();
}

void ServiceListView::AddColumns(std::span<const char* const> titles) {
    const int width = m_list.GetHeader().ClientRect().right - ::GetSystemMetrics(SM_CXVSCROLL);
    if (titles.size() == 1) {
        m_list.InsertColumn(0, titles[0], width);
        return;
    }
    m_list.InsertColumn(0, titles[0], width - width / 3);
    m_list.InsertColumn(1, titles[1], width / 3);
}

int ServiceListView::InsertRow(int index, int service) const {
    return m_list.InsertItem(index, LPSTR_TEXTCALLBACKA, service);
}

void ServiceListView::SetServiceAt(int row, int service) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = service;
    m_list.Send(LVM_SETITEMA, 0, &item);
    m_list.UpdateRow(row);
}

void ServiceListView::Supply(NMLVDISPINFOA& request, const char* text) {
    if ((request.item.mask & LVIF_TEXT) && request.item.pszText && request.item.cchTextMax > 0)
        ::lstrcpynA(request.item.pszText, text, std::min(request.item.cchTextMax, textLimit + 1));
}

int ServiceListView::RowAt(HWND control, POINTL screen) const {
    POINT point = {screen.x, screen.y};
    ::ScreenToClient(control, &point);
    RECT client = {};
    ::GetClientRect(control, &client);
    if (!::PtInRect(&client, point))
        return -1;
    point = {screen.x, screen.y};
    ::ScreenToClient(m_list.Handle(), &point);
    LVHITTESTINFO hit;
    const int row = m_list.HitTest(point, hit);
    return row >= 0 && (hit.flags & LVHT_ONITEM) ? row : -1;
}

void ServiceListView::HighlightRow(int row) {
    RemoveHighlight();
    m_list.SetItemState(row, LVIS_DROPHILITED, LVIS_DROPHILITED);
    m_highlighted = row;
}

void ServiceListView::RemoveHighlight() {
    if (m_highlighted >= 0)
        m_list.SetItemState(m_highlighted, 0, LVIS_DROPHILITED);
    m_highlighted = -1;
}
