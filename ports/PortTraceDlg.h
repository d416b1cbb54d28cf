#pragma once

#include "framework/windows/Window.h"
#include "resources/resource.h"

#include <string>

// The trace level of a port: 0 off, 1 debugging, 2 debugging and port traffic through event
// logs (faster, may drop entries), 3 the same through callback logs (slower, drops none).
class CPortTraceDlg : public Fw::DialogImpl<CPortTraceDlg> {
public:
    CPortTraceDlg(std::string portName, long level)
        : m_portName(std::move(portName)),
          m_level(level) {}

    // IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);
    // The chosen level; -1 when no level button was checked (a level from the server that
    // the dialog does not know, left as it was).
    long Level() const { return m_level; }

    bool OnInitDialog(HWND focus);
    void OnLevelClicked(UINT, UINT, HWND);
    void OnOk(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<CPortTraceDlg> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CPortTraceDlg::OnInitDialog>(),
        Fw::OnCommand<IDC_TRACE_OFF, &CPortTraceDlg::OnLevelClicked>(),
        Fw::OnCommand<IDC_TRACE_DEBUGGING, &CPortTraceDlg::OnLevelClicked>(),
        Fw::OnCommand<IDC_TRACE_TRAFFIC, &CPortTraceDlg::OnLevelClicked>(),
        Fw::OnCommand<IDOK, &CPortTraceDlg::OnOk>(),
    };

private:
    // The option buttons mean something only with port traffic traced.
    void EnableOptions();

    std::string m_portName;
    long m_level;
};
