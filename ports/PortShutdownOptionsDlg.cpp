#include "ports/PortShutdownOptionsDlg.h"

#include "resources/resource.h"

#include <iterator>

namespace {

// The radio button of each action, by action.
constexpr int actionButtons[] = {IDC_SHUTDOWN_NOTHING, IDC_SHUTDOWN_RELEASE, IDC_SHUTDOWN_RESTORE};

} // namespace

INT_PTR PortShutdownOptionsDlg::Run(HWND owner) {
    return DoModal(owner, IDD_PORT_SHUTDOWN);
}

bool PortShutdownOptionsDlg::OnInitDialog(HWND) {
    // An action the dialog does not know leaves every button clear.
    if (m_action >= 0 && m_action < static_cast<long>(std::size(actionButtons)))
        ::CheckDlgButton(m_hWnd, actionButtons[m_action], BST_CHECKED);
    return true;
}

void PortShutdownOptionsDlg::OnOk(UINT, UINT, HWND) {
    m_action = ::IsDlgButtonChecked(m_hWnd, IDC_SHUTDOWN_RESTORE) == BST_CHECKED   ? 2
               : ::IsDlgButtonChecked(m_hWnd, IDC_SHUTDOWN_RELEASE) == BST_CHECKED ? 1
                                                                                    : 0;
    EndDialog(IDOK);
}
