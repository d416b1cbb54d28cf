#pragma once

#include "framework/windows/Window.h"
#include "resources/resource.h"

#include <string>

// The string ids of one confirmation: the registry key its remembered answer is kept under, and
// what the dialog shows.
struct MomQuestion {
    UINT key;
    UINT caption;
    UINT message;
    UINT yes;
    UINT no;
};

// A Yes/No question the user may tell not to ask again. The choice is remembered under the
// question's key as "DontWarn" and "UserChoice"; a remembered Yes answers the question without
// asking, a remembered No asks again with the box already checked.
class CMomDialog : public Fw::DialogImpl<CMomDialog> {
public:
    static constexpr MomQuestion removePort = {IDS_REMOVE_PORT_KEY, IDS_REMOVE_PORT_CAPTION, IDS_REMOVE_PORT_MESSAGE,
                                               IDS_REMOVE_PORT_YES, IDS_REMOVE_PORT_NO};
    static constexpr MomQuestion disablePort = {IDS_DISABLE_PORT_KEY, IDS_DISABLE_PORT_CAPTION,
                                                IDS_DISABLE_PORT_MESSAGE, IDS_DISABLE_PORT_YES, IDS_DISABLE_PORT_NO};

    // Reads the remembered choice; a key or value that cannot be read (or is not a 32-bit number)
    // leaves the defaults, which ask.
    explicit CMomDialog(const MomQuestion& question);

    // True for Yes: remembered, or answered in the dialog run over the active window.
    bool Confirm();

    DWORD DontWarn() const { return m_dontWarn; }
    DWORD UserChoice() const { return m_userChoice; }

    bool OnInitDialog(HWND focus);
    void OnAnswer(UINT, UINT id, HWND);

    static inline const Fw::MessageEntry<CMomDialog> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CMomDialog::OnInitDialog>(),
        Fw::OnCommand<IDOK, &CMomDialog::OnAnswer>(),
        Fw::OnCommand<IDCANCEL, &CMomDialog::OnAnswer>(),
    };

private:
    // A user who may not write there is asked again next time.
    void StoreChoice() const;

    std::string m_key;
    std::string m_caption;
    std::string m_message;
    std::string m_yes;
    std::string m_no;
    DWORD m_dontWarn = 0;
    DWORD m_userChoice = static_cast<DWORD>(-1);
};
