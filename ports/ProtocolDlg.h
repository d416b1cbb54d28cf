#pragma once

#include "framework/windows/Window.h"

// The communication protocol of a port: 0 HDLC only, 1 switch to non-HDLC on connection when
// the device can, 2 support non-HDLC without starting it.
class CProtocolDlg : public Fw::DialogImpl<CProtocolDlg> {
public:
    static constexpr long modeCount = 3;

    // A mode the dialog does not know shows as the first.
    explicit CProtocolDlg(long mode)
        : m_mode(mode >= 0 && mode < modeCount ? mode : 0) {}

    // IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);
    // The chosen mode; -1 when no item was selected.
    long Mode() const { return m_mode; }

    bool OnInitDialog(HWND focus);
    void OnOk(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<CProtocolDlg> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CProtocolDlg::OnInitDialog>(),
        Fw::OnCommand<IDOK, &CProtocolDlg::OnOk>(),
    };

private:
    long m_mode;
};
