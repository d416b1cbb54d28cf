#include "ports/ControlLinesDlg.h"

#include "resources/resource.h"

#include <span>

namespace {

constexpr int pollingButtons[] = {IDC_POLLING_TIMER, IDC_POLLING_LINES, IDC_POLLING_BOTH};
constexpr int flowButtons[] = {IDC_FLOW_IGNORE, IDC_FLOW_ENABLE};

void CheckIndex(HWND dialog, std::span<const int> group, long index) {
    if (index >= 0 && index < static_cast<long>(group.size()))
        ::CheckDlgButton(dialog, group[static_cast<size_t>(index)], BST_CHECKED);
}

long CheckedIndex(HWND dialog, std::span<const int> group) {
    for (size_t index = 0; index < group.size(); ++index)
        if (::IsDlgButtonChecked(dialog, group[index]) == BST_CHECKED)
            return static_cast<long>(index);
    return -1;
}

} // namespace

INT_PTR CControlLinesDlg::Run(HWND owner) {
    return DoModal(owner, IDD_CONTROL_LINES);
}

bool CControlLinesDlg::OnInitDialog(HWND) {
    CheckIndex(m_hWnd, pollingButtons, m_pollingMode);
    if (m_showFlowControl)
        CheckIndex(m_hWnd, flowButtons, m_flowControl);
    else
        HideFlowControl();
    return true;
}

void CControlLinesDlg::HideFlowControl() {
    const Fw::Window frame = Child(IDC_FLOW_GROUP);
    const RECT frameRect = frame.RectInParent();
    const int height = frameRect.bottom - frameRect.top;
    for (int id : {IDC_FLOW_GROUP, IDC_FLOW_IGNORE, IDC_FLOW_ENABLE})
        Child(id).Show(SW_HIDE);
    for (int id : {IDOK, IDCANCEL}) {
        const Fw::Window button = Child(id);
        RECT rect = button.RectInParent();
        ::OffsetRect(&rect, 0, -height);
        button.Move(rect);
    }
    RECT dialog = {};
    ::GetWindowRect(m_hWnd, &dialog);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, dialog.right - dialog.left, dialog.bottom - dialog.top - height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CControlLinesDlg::OnOk(UINT, UINT, HWND) {
    m_pollingMode = CheckedIndex(m_hWnd, pollingButtons);
    m_flowControl = m_showFlowControl ? CheckedIndex(m_hWnd, flowButtons) : 0;
    EndDialog(IDOK);
}
