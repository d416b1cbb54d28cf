#include "ports/PortTraceDlg.h"

#include "foundation/Lang/Text.h"

#include <iterator>

namespace {

// The level and option buttons of each level, by level.
struct LevelButtons {
    int level;
    int option;
};
constexpr LevelButtons levelButtons[] = {
    {IDC_TRACE_OFF, IDC_TRACE_EVENT_LOGS},
    {IDC_TRACE_DEBUGGING, IDC_TRACE_EVENT_LOGS},
    {IDC_TRACE_TRAFFIC, IDC_TRACE_EVENT_LOGS},
    {IDC_TRACE_TRAFFIC, IDC_TRACE_CALLBACK_LOGS},
};

} // namespace

INT_PTR CPortTraceDlg::Run(HWND owner) {
    return DoModal(owner, IDD_PORT_TRACE);
}

bool CPortTraceDlg::OnInitDialog(HWND) {
    Child(IDC_TRACE_PROMPT)
        .SetText(Lang::Format(Fw::Module::Current().String(IDS_TRACE_PROMPT).c_str(), m_portName.c_str()).c_str());
    if (m_level >= 0 && m_level < static_cast<long>(std::size(levelButtons))) {
        ::CheckDlgButton(m_hWnd, levelButtons[m_level].level, BST_CHECKED);
        ::CheckDlgButton(m_hWnd, levelButtons[m_level].option, BST_CHECKED);
    }
    EnableOptions();
    return true;
}

void CPortTraceDlg::OnLevelClicked(UINT, UINT, HWND) {
    EnableOptions();
}

void CPortTraceDlg::EnableOptions() {
    const bool traffic = ::IsDlgButtonChecked(m_hWnd, IDC_TRACE_TRAFFIC) == BST_CHECKED;
    Child(IDC_TRACE_EVENT_LOGS).Enable(traffic);
    Child(IDC_TRACE_CALLBACK_LOGS).Enable(traffic);
}

void CPortTraceDlg::OnOk(UINT, UINT, HWND) {
    const auto checked = [&](int id) { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; };
    // The first checked level button in id order decides.
    if (checked(IDC_TRACE_OFF))
        m_level = 0;
    else if (checked(IDC_TRACE_DEBUGGING))
        m_level = 1;
    else if (checked(IDC_TRACE_TRAFFIC))
        m_level = checked(IDC_TRACE_CALLBACK_LOGS) && !checked(IDC_TRACE_EVENT_LOGS) ? 3 : 2;
    else
        m_level = -1;
    EndDialog(IDOK);
}
