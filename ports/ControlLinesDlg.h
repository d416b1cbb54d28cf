#pragma once

#include "framework/windows/Window.h"

// How the server uses a serial port's control lines: the polling mode (0 timer only, 1 the
// DSR/RLSD lines, 2 both) and, where it is offered, CTS/RTS flow control (0 ignore, 1 enable).
class CControlLinesDlg : public Fw::DialogImpl<CControlLinesDlg> {
public:
    CControlLinesDlg(long pollingMode, long flowControl, bool showFlowControl)
        : m_pollingMode(pollingMode),
          m_flowControl(flowControl),
          m_showFlowControl(showFlowControl) {}

    // IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);
    // The checked button's index in each group, -1 for none; the flow is 0 when not offered.
    long PollingMode() const { return m_pollingMode; }
    long FlowControl() const { return m_flowControl; }

    bool OnInitDialog(HWND focus);
    void OnOk(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<CControlLinesDlg> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CControlLinesDlg::OnInitDialog>(),
        Fw::OnCommand<IDOK, &CControlLinesDlg::OnOk>(),
    };

private:
    // The flow-control group goes; the buttons below it and the dialog's bottom move up.
    void HideFlowControl();

    long m_pollingMode;
    long m_flowControl;
    bool m_showFlowControl;
};
