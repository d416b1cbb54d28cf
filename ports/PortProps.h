#pragma once

#include "foundation/Win32/Unique.h"
#include "framework/windows/Window.h"
#include "ports/PortItem.h"
#include "resources/resource.h"

#include <functional>

// A port's properties: its name, state, phone and link, and the label the user may change.
// The texts show in bold.
class CPortProps : public Fw::DialogImpl<CPortProps> {
public:
    // The longest label the dialog takes.
    static constexpr int labelLimit = 127;

    // `item` is the port shown, or null ("Unavailable"); OK writes the typed label into it.
    // `controlLines`, when given, opens the port's control-line settings over this dialog.
    CPortProps(CPortItem* item, std::function<void(HWND owner)> controlLines)
        : m_item(item),
          m_controlLines(std::move(controlLines)) {}

    // IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);
    // The item's row is going: the dialog lets go of the item and ends as cancelled.
    void Abandon();
    // The item shown; null once abandoned.
    CPortItem* Item() const { return m_item; }

    bool OnInitDialog(HWND focus);
    void OnDestroy();
    void OnControlLines(UINT, UINT, HWND);
    void OnOk(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<CPortProps> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CPortProps::OnInitDialog>(),
        Fw::OnMessage<WM_DESTROY, &CPortProps::OnDestroy>(),
        Fw::OnCommand<IDC_PROPS_CONTROL_LINES, &CPortProps::OnControlLines>(),
        Fw::OnCommand<IDOK, &CPortProps::OnOk>(),
    };

private:
    CPortItem* m_item;
    std::function<void(HWND)> m_controlLines;
    Win32::UniqueFont m_boldFont;
};
