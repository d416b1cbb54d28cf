#pragma once

#include "framework/windows/Window.h"

// The action the server takes on one port when it shuts down: 0 nothing, 1 send the release
// port command, 2 attempt to restore data services mode.
class PortShutdownOptionsDlg : public Fw::DialogImpl<PortShutdownOptionsDlg> {
public:
    explicit PortShutdownOptionsDlg(long action)
        : m_action(action) {}

    // IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);
    long Action() const { return m_action; }

    bool OnInitDialog(HWND focus);
    void OnOk(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<PortShutdownOptionsDlg> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &PortShutdownOptionsDlg::OnInitDialog>(),
        Fw::OnCommand<IDOK, &PortShutdownOptionsDlg::OnOk>(),
    };

private:
    long m_action;
};
