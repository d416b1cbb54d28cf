#pragma once

#include "framework/windows/Window.h"

#include <commctrl.h>

namespace Fw {

// A progress bar control, one message per call.
class ProgressBar : public Window {
public:
    using Window::Window;

    // The range is 16-bit, as the control keeps it for PBM_SETRANGE.
    void SetRange(int low, int high) const {
        Send(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(low), static_cast<WORD>(high)));
    }
    int SetPos(int position) const { return static_cast<int>(Send(PBM_SETPOS, position)); }
};

} // namespace Fw
