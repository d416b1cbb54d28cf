#include "connection/ServerButton.h"

#include "connection/ComputerPicker.h"
#include "interfaces/DispIds.h"
#include "resources/resource.h"

#include <comdef.h>

// --- the button -----------------------------------------------------------------------------

Microsoft::WRL::ComPtr<IUnknown> ServerBrowseButton::KeepAlive() {
    return m_owner.KeepAlive();
}

void ServerBrowseButton::OnSetFocus(HWND previous) {
    PassOn();
    m_owner.FocusChanged(true, previous);
}

void ServerBrowseButton::OnKillFocus(HWND next) {
    PassOn();
    m_owner.FocusChanged(false, next);
}

LRESULT ServerBrowseButton::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONUP) {
        const POINT point = Fw::PointOf(lParam);
        const RECT client = ClientRect();
        if (::PtInRect(&client, point))
            m_owner.Browse();
    }
    // The button still sees the release: it draws itself up and reports its click as usual.
    return Fw::WindowImpl<ServerBrowseButton>::DefaultMessage(message, wParam, lParam);
}

// --- the control ----------------------------------------------------------------------------

void COstrelServerButton::Browse() {
    const std::optional<std::string> picked = CurrentComputerPicker().Pick(m_hWnd, pickerTitle);
    m_lastChosen = picked.value_or(std::string());
    if (!picked)
        return;
    _bstr_t serverName(m_lastChosen.c_str());
    Fire<_IOstrelServerButtonEvents>([&](_IOstrelServerButtonEvents* sink) {
        VARIANTARG argument;
        ::VariantInit(&argument);
        argument.vt = VT_BSTR;
        argument.bstrVal = serverName.GetBSTR();
        DISPPARAMS parameters = {&argument, nullptr, 1, 0};
        sink->Invoke(DISPID_SERVERBUTTON_SERVERSELCHANGED, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                     &parameters, nullptr, nullptr, nullptr);
    });
}

int COstrelServerButton::OnCreate(const CREATESTRUCTA*) {
    const RECT client = ClientRect();
    const std::string title = Fw::Module::Current().String(IDS_SERVER_BROWSE);
    const HWND button = ::CreateWindowExA(
        0, WC_BUTTONA, title.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, client.right,
        client.bottom, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttonId)),
        Fw::Module::Current().Instance(), nullptr);
    if (!button)
        return -1;
    m_buttonWindow = Fw::Window(button);
    m_buttonWindow.SetFont(ChildFont(), false);
    m_button.Subclass(button);
    return 0;
}

void COstrelServerButton::OnAmbientChanged(DISPID id) {
    if (m_buttonWindow && (id == DISPID_AMBIENT_FONT || id == DISPID_UNKNOWN))
        m_buttonWindow.SetFont(ChildFont());
}

void COstrelServerButton::OnDestroy() {
    m_button.Unsubclass();
    m_buttonWindow = Fw::Window();
}

void COstrelServerButton::OnSize(UINT, SIZE client) {
    if (m_buttonWindow)
        m_buttonWindow.Move({0, 0, client.cx, client.cy});
}

void COstrelServerButton::OnSetFocus(HWND) {
    PassOn();
    if (m_buttonWindow)
        m_buttonWindow.SetFocus();
}
