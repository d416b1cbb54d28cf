#pragma once

#include "framework/windows/Window.h"

#include <commctrl.h>

namespace Fw {

// The header of a report-style list view, one message per call.
class Header : public Window {
public:
    using Window::Window;

    int GetItemCount() const { return static_cast<int>(Send(HDM_GETITEMCOUNT)); }
    RECT GetItemRect(int index) const {
        RECT rect = {};
        Send(HDM_GETITEMRECT, index, &rect);
        return rect;
    }
    int GetItemWidth(int index) const {
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        return Send(HDM_GETITEMA, index, &item) ? item.cxy : 0;
    }
    bool SetItemWidth(int index, int width) const {
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        item.cxy = width;
        return Send(HDM_SETITEMA, index, &item) != 0;
    }
    int HitTest(POINT point) const {
        HDHITTESTINFO hit = {};
        hit.pt = point;
        return static_cast<int>(Send(HDM_HITTEST, 0, &hit));
    }
};

} // namespace Fw
