#include "ports/ZelkorProgress.h"

#include "framework/windows/ListView.h"
#include "framework/windows/ProgressBar.h"
#include "resources/resource.h"

#include <commctrl.h>

bool ZelkorProgress::CellRect(HWND list, int row, int subItem, RECT& rect) {
    return Fw::ListView(list).GetSubItemRect(row, subItem, rect);
}

bool ZelkorProgress::Create(HWND list, int row, int subItem, int low, int high, int position) {
    if (m_bar)
        return true;
    RECT cell;
    if (!CellRect(list, row, subItem, cell))
        return false;
    m_bar.reset(::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, cell.left,
                                  cell.top, cell.right - cell.left, cell.bottom - cell.top, list, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr));
    if (!m_bar)
        return false;
    const Fw::ProgressBar bar(m_bar.get());
    bar.SetRange(low, high);
    bar.SetPos(position);
    return true;
}

void ZelkorProgress::Move(HWND list, int row, int subItem) {
    RECT cell;
    if (!m_bar || !CellRect(list, row, subItem, cell))
        return;
    // Moving a window costs a round trip through the window manager even when it stays put,
    // and after a fill nearly every bar is already where its row is.
    RECT current;
    ::GetWindowRect(m_bar.get(), &current);
    ::MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&current), 2);
    if (!::EqualRect(&current, &cell))
        ::MoveWindow(m_bar.get(), cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, TRUE);
    if (!(::GetWindowLongPtrA(m_bar.get(), GWL_STYLE) & WS_VISIBLE))
        ::ShowWindow(m_bar.get(), SW_SHOW);
}

void ZelkorProgress::SetPos(int position) {
    if (m_bar)
        Fw::ProgressBar(m_bar.get()).SetPos(position);
}

void ZelkorProgress::Redraw() {
    if (m_bar)
        ::RedrawWindow(m_bar.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

std::optional<ZelkorTransferStep> ZelkorTransferStepOf(long code, short value) {
    switch (code) {
    case 16:
        return ZelkorTransferStep{IDS_ZELKOR_PHONE_DOWNLOAD, 500};
    case 17:
        return ZelkorTransferStep{IDS_ZELKOR_PHONE_DOWNLOAD, 750};
    case 18:
        return ZelkorTransferStep{IDS_ZELKOR_PHONE_DOWNLOAD, 1000};
    case 19:
        return ZelkorTransferStep{IDS_ZELKOR_PHONE_MEMORY_DUMP, 500};
    case 20:
        // The dump's second half, by the server's signed 16-bit fraction of 32767; C++'s
        // division truncates toward zero, so a negative fraction lands short of 500.
        return ZelkorTransferStep{IDS_ZELKOR_PHONE_MEMORY_DUMP, 500 + value * 500 / 32767};
    case 21:
    case 22:
        return ZelkorTransferStep{IDS_ZELKOR_PHONE_MEMORY_DUMP, 1000};
    default:
        return std::nullopt;
    }
}
