#pragma once

#include "framework/com/SupportErrorInfo.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "interfaces/OstrelUITools.h"

#include <string>

class COstrelServerButton;

// The push button, subclassed: the release of the left button over it opens the computer
// picker before the button sees its click.
class ServerBrowseButton : public Fw::WindowImpl<ServerBrowseButton> {
public:
    explicit ServerBrowseButton(COstrelServerButton& owner)
        : m_owner(owner) {}

    Microsoft::WRL::ComPtr<IUnknown> KeepAlive();
    void OnSetFocus(HWND previous);
    void OnKillFocus(HWND next);
    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam);

    static inline const Fw::MessageEntry<ServerBrowseButton> messages[] = {
        Fw::OnMessage<WM_SETFOCUS, &ServerBrowseButton::OnSetFocus>(),
        Fw::OnMessage<WM_KILLFOCUS, &ServerBrowseButton::OnKillFocus>(),
    };

private:
    COstrelServerButton& m_owner;
};

// A "Browse..." button that lets the user pick a machine of the network and announces its name
// through ServerSelChanged; a cancelled pick announces nothing.
class COstrelServerButton : public Fw::Control<COstrelServerButton, IOstrelServerButton,
                                               &CLSID_OstrelServerButton, _IOstrelServerButtonEvents>,
                            public Fw::PersistStorage,
                            public Fw::DataObject,
                            public Fw::SpecifyPropertyPages,
                            public Fw::SupportErrorInfo<IOstrelServerButton> {
public:
    static constexpr const char* displayName = "OstrelServerButton";
    static constexpr SIZEL defaultExtent = {2858, 609};
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<COstrelServerButton>(), Fw::Entry<COstrelServerButton, IPersistStorage>(),
        Fw::Entry<COstrelServerButton, IDataObject>(), Fw::Entry<COstrelServerButton, ISpecifyPropertyPages>(),
        Fw::Entry<COstrelServerButton, ISupportErrorInfo>(),
        Fw::Entry<COstrelServerButton, IConnectionPointContainer>());

    // The child id hosts and tests find the button by.
    static constexpr int buttonId = 1;
    static constexpr const char* pickerTitle = "Select an OSTREL Server";

    // The name the last pick gave; empty after a cancel.
    const std::string& LastChosen() const { return m_lastChosen; }
    // Opens the computer picker over the button.
    void Browse();

    int OnCreate(const CREATESTRUCTA*);
    void OnDestroy();
    void OnSize(UINT, SIZE client);
    void OnSetFocus(HWND);

    static inline const Fw::MessageEntry<COstrelServerButton> messages[] = {
        Fw::OnMessage<WM_CREATE, &COstrelServerButton::OnCreate>(),
        Fw::OnMessage<WM_DESTROY, &COstrelServerButton::OnDestroy>(),
        Fw::OnMessage<WM_SIZE, &COstrelServerButton::OnSize>(),
        Fw::OnMessage<WM_SETFOCUS, &COstrelServerButton::OnSetFocus>(),
    };

protected:
    void OnAmbientChanged(DISPID id) override;

private:
    Fw::Window m_buttonWindow;
    ServerBrowseButton m_button{*this};
    std::string m_lastChosen;
};
