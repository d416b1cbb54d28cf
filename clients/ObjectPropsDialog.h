#pragma once

#include "foundation/Win32/Unique.h"
#include "framework/windows/Window.h"

#include <string>
#include <vector>

// A modal window of fixed texts about one server object and its picture, closed by OK: the
// client list's "Client Properties" and the object tree's "Component Properties".
class ObjectPropsDialog : public Fw::DialogImpl<ObjectPropsDialog> {
public:
    struct Field {
        int id;
        std::string text;
    };
    enum class Texts { plain, bold };

    ObjectPropsDialog(std::vector<Field> fields, Texts look, int iconId, Win32::UniqueIcon icon)
        : m_fields(std::move(fields)),
          m_look(look),
          m_iconId(iconId),
          m_icon(std::move(icon)) {}

    // Over the window active now (the control's own when none is), as its users expect of a
    // properties window they asked for.
    INT_PTR Run(HWND control, int templateId);

    bool OnInitDialog(HWND focus);
    void OnOk(UINT, UINT, HWND) { EndDialog(IDOK); }

    static inline const Fw::MessageEntry<ObjectPropsDialog> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &ObjectPropsDialog::OnInitDialog>(),
        Fw::OnCommand<IDOK, &ObjectPropsDialog::OnOk>(),
    };

private:
    std::vector<Field> m_fields;
    Texts m_look;
    int m_iconId;
    Win32::UniqueIcon m_icon;
    Win32::UniqueFont m_boldFont;
};

// Picture `index` of one of the module's bitmap strips of `size`-pixel squares, white taken as
// transparent; null when the strip has no such picture.
Win32::UniqueIcon IconFromStrip(UINT stripId, int size, int index);
