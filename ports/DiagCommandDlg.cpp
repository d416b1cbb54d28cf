#include "ports/DiagCommandDlg.h"

#include <algorithm>

CDiagCommandHistory::CDiagCommandHistory(const std::string& joined) {
    if (joined.empty())
        return;
    size_t start = 0;
    for (size_t end; (end = joined.find(';', start)) != std::string::npos; start = end + 1)
        m_entries.push_back(joined.substr(start, end - start));
    m_entries.push_back(joined.substr(start));
}

std::string CDiagCommandHistory::Joined() const {
    std::string joined;
    for (const std::string& entry : m_entries)
        joined += (&entry == m_entries.data() ? "" : ";") + entry;
    return joined;
}

void CDiagCommandHistory::Add(const std::string& command) {
    if (std::find(m_entries.begin(), m_entries.end(), command) != m_entries.end())
        return;
    m_entries.insert(m_entries.begin(), command);
    if (m_entries.size() > capacity)
        m_entries.pop_back();
}

INT_PTR CDiagCommandDlg::Run(HWND owner) {
    return DoModal(owner, IDD_DIAG_COMMAND);
}

bool CDiagCommandDlg::OnInitDialog(HWND) {
    // The combo box sorts what it is given.
    const Fw::Window combo = Child(IDC_DIAG_COMMAND);
    for (const std::string& entry : m_history.Entries())
        combo.Send(CB_ADDSTRING, 0, entry.c_str());
    return true;
}

void CDiagCommandDlg::OnSend(UINT, UINT, HWND) {
    m_command = Child(IDC_DIAG_COMMAND).Text();
    m_history.Add(m_command);
    EndDialog(IDC_DIAG_SEND);
}
