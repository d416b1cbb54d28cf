#pragma once

#include "framework/windows/Window.h"

#include <string>

// The security password of a port, typed into a masked edit that opens empty: the current
// password is never shown.
class CPasswordDlg : public Fw::DialogImpl<CPasswordDlg> {
public:
    // IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);
    // What was typed, unchecked: any length, possibly empty.
    const std::string& Password() const { return m_password; }

    void OnOk(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<CPasswordDlg> messages[] = {
        Fw::OnCommand<IDOK, &CPasswordDlg::OnOk>(),
    };

private:
    std::string m_password;
};
