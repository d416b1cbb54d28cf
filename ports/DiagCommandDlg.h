#pragma once

#include "framework/windows/Window.h"
#include "resources/resource.h"

#include <string>
#include <vector>

// The last raw diagnostic commands of a port, newest first, at most five, no two alike; the
// server keeps them as one text joined with ";".
class CDiagCommandHistory {
public:
    static constexpr size_t capacity = 5;

    CDiagCommandHistory() = default;
    // Cut at every ";", empty pieces kept; an empty text is an empty history.
    explicit CDiagCommandHistory(const std::string& joined);

    const std::vector<std::string>& Entries() const { return m_entries; }
    std::string Joined() const;
    // A command not yet in the history goes first; the oldest beyond the capacity goes.
    void Add(const std::string& command);

private:
    std::vector<std::string> m_entries;
};

// A raw diagnostic command typed or picked from the port's history.
class CDiagCommandDlg : public Fw::DialogImpl<CDiagCommandDlg> {
public:
    explicit CDiagCommandDlg(CDiagCommandHistory history)
        : m_history(std::move(history)) {}

    // IDC_DIAG_SEND or IDCANCEL; after Send the command heads the history.
    INT_PTR Run(HWND owner);
    const std::string& Command() const { return m_command; }
    const CDiagCommandHistory& History() const { return m_history; }

    bool OnInitDialog(HWND focus);
    void OnSend(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<CDiagCommandDlg> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CDiagCommandDlg::OnInitDialog>(),
        Fw::OnCommand<IDC_DIAG_SEND, &CDiagCommandDlg::OnSend>(),
    };

private:
    CDiagCommandHistory m_history;
    std::string m_command;
};
