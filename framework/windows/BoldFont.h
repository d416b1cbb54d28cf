#pragma once

#include "foundation/Win32/Unique.h"

#include <windows.h>

#include <span>

namespace Fw {

// A bold copy of the font the first of a dialog's controls shows, set on every one of them. The
// dialog keeps the font for as long as the controls live.
inline Win32::UniqueFont SetBoldFont(HWND dialog, std::span<const int> ids) {
    if (ids.empty())
        return {};
    LOGFONTA bold = {};
    const auto shown =
        reinterpret_cast<HFONT>(::SendDlgItemMessageA(dialog, ids.front(), WM_GETFONT, 0, 0));
    ::GetObjectA(shown ? shown : ::GetStockObject(DEFAULT_GUI_FONT), sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    Win32::UniqueFont font(::CreateFontIndirectA(&bold));
    for (const int id : ids)
        ::SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    return font;
}

} // namespace Fw
