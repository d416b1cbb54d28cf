#include "connection/ServerCombo.h"

#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Boundary.h"
#include "interfaces/DispIds.h"

#include <comdef.h>

#include <algorithm>
#include <cctype>

namespace {

// This machine's name in lower case, or nothing when the system will not say.
std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = sizeof name;
    if (!::GetComputerNameA(name, &length))
        return {};
    std::string lower(name, length);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

} // namespace

// --- the edit field -------------------------------------------------------------------------

Microsoft::WRL::ComPtr<IUnknown> ServerComboEdit::KeepAlive() {
    return m_owner.KeepAlive();
}

UINT ServerComboEdit::OnGetDlgCode(UINT virtualKey, const MSG* message) {
    const bool named = message && message->message == WM_KEYDOWN &&
                       (message->wParam == VK_RETURN || message->wParam == VK_TAB);
    const auto editCode = static_cast<UINT>(Fw::WindowImpl<ServerComboEdit>::DefaultMessage(
        WM_GETDLGCODE, virtualKey, reinterpret_cast<LPARAM>(message)));
    return editCode | (named ? DLGC_WANTMESSAGE : 0);
}

void ServerComboEdit::OnKeyDown(UINT virtualKey) {
    if (virtualKey == VK_RETURN || virtualKey == VK_TAB)
        m_owner.TakeTypedName();
    else
        PassOn();
}

void ServerComboEdit::OnSetFocus(HWND previous) {
    PassOn();
    m_owner.FocusChanged(true, previous);
}

void ServerComboEdit::OnKillFocus(HWND next) {
    PassOn();
    m_owner.FocusChanged(false, next);
}

LRESULT ServerComboEdit::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && (wParam == '\r' || wParam == '\t'))
        return 0;
    return Fw::WindowImpl<ServerComboEdit>::DefaultMessage(message, wParam, lParam);
}

// --- IOstrelServerCombo ---------------------------------------------------------------------

HRESULT COstrelServerCombo::get_SelectedServer(BSTR* pVal) {
    return Fw::Boundary(pVal, [&] { *pVal = Lang::ToBstr(m_selected); });
}

HRESULT COstrelServerCombo::put_SelectedServer(BSTR newVal) {
    return Fw::Boundary([&] {
        // A null text is the empty name, as COM has it.
        m_selected = Lang::FromBstr(newVal);
        if (!m_combo.Exists())
            return;
        // Compared here, not by the list's own search, which ignores case: a name differing only in
        // case is an entry of its own.
        for (LRESULT index = 0, count = m_combo.Send(CB_GETCOUNT); index < count; ++index) {
            if (EntryText(index) == m_selected) {
                m_combo.Send(CB_SETCURSEL, index);
                return;
            }
        }
        const auto added = m_combo.Send(CB_ADDSTRING, 0, m_selected.c_str());
        m_combo.Send(CB_SETCURSEL, added);
        m_mru.Add(m_selected);
    });
}

HRESULT COstrelServerCombo::get_drawSizeHeight(LONG* pVal) {
    return Fw::Boundary(pVal, [&] {
        const int field = SelectionFieldHeight();
        if (field == 0)
            return E_FAIL;
        *pVal = field + 2 * (::GetSystemMetrics(SM_CYEDGE) + ::GetSystemMetrics(SM_CYBORDER));
        return S_OK;
    });
}

// --- choosing -------------------------------------------------------------------------------

void COstrelServerCombo::TakeTypedName() {
    char text[maxTypedName + 1] = {};
    ::GetWindowTextA(m_combo.Handle(), text, sizeof text);
    ChangeServer(text);
}

void COstrelServerCombo::OnSelectionChange(UINT, UINT, HWND) {
    const auto index = m_combo.Send(CB_GETCURSEL);
    if (index == CB_ERR)
        return;
    ChangeServer(EntryText(index));
}

std::string COstrelServerCombo::EntryText(LRESULT index) const {
    std::string text(static_cast<size_t>(std::max<LRESULT>(m_combo.Send(CB_GETLBTEXTLEN, index), 0)), '\0');
    text.resize(static_cast<size_t>(std::max<LRESULT>(m_combo.Send(CB_GETLBTEXT, index, text.data()), 0)));
    return text;
}

void COstrelServerCombo::ChangeServer(std::string name) {
    m_selected = std::move(name);
    _bstr_t serverName(m_selected.c_str());
    Fire<_IOstrelServerComboEvents>([&](_IOstrelServerComboEvents* sink) {
        VARIANTARG argument;
        ::VariantInit(&argument);
        argument.vt = VT_BSTR;
        argument.bstrVal = serverName.GetBSTR();
        DISPPARAMS parameters = {&argument, nullptr, 1, 0};
        sink->Invoke(DISPID_SERVERCOMBO_SERVERCHANGED, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                     &parameters, nullptr, nullptr, nullptr);
    });
}

bool COstrelServerCombo::WantsKey(UINT virtualKey) const {
    return virtualKey == VK_RETURN || virtualKey == VK_TAB || ControlBase::WantsKey(virtualKey);
}

int COstrelServerCombo::SelectionFieldHeight() const {
    if (!m_combo.Exists())
        return 0;
    const RECT field = m_combo.RectInParent();
    return field.bottom - field.top;
}

// --- the window -----------------------------------------------------------------------------

int COstrelServerCombo::OnCreate(const CREATESTRUCTA*) {
    const RECT client = ClientRect();
    const HWND combo = ::CreateWindowExA(
        0, WC_COMBOBOXA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
        0, 0, client.right, client.bottom, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(comboId)),
        Fw::Module::Current().Instance(), nullptr);
    if (!combo)
        return -1;
    m_combo = Fw::Window(combo);
    m_combo.SetFont(ChildFont(), false);
    COMBOBOXINFO parts = {};
    parts.cbSize = sizeof(parts);
    if (::GetComboBoxInfo(combo, &parts))
        m_edit.Subclass(parts.hwndItem);
    const std::string computer = ComputerName();
    if (!computer.empty()) {
        m_combo.Send(CB_ADDSTRING, 0, computer.c_str());
        m_selected = computer;
    }
    for (int index = 0, count = m_mru.Count(); index < count; ++index) {
        std::string name;
        if (SUCCEEDED(m_mru.Get(index, name)))
            m_combo.Send(CB_ADDSTRING, 0, name.c_str());
    }
    m_combo.Send(CB_SETCURSEL, 0);
    return 0;
}

void COstrelServerCombo::OnDestroy() {
    m_edit.Unsubclass();
    m_combo = Fw::Window();
}

void COstrelServerCombo::OnSize(UINT, SIZE client) {
    // The height given sizes the drop-down list; the combo itself stays one selection field high.
    if (m_combo)
        ::SetWindowPos(m_combo.Handle(), nullptr, 0, 0, client.cx,
                       std::max<LONG>(client.cy, SelectionFieldHeight()), SWP_NOZORDER | SWP_NOACTIVATE);
}

void COstrelServerCombo::OnDraw(HDC dc, const RECT& bounds) {
    if (!m_combo)
        return ControlBase::OnDraw(dc, bounds);
    const Win32::UniqueBrush background(::CreateSolidBrush(BackColor()));
    ::FillRect(dc, &bounds, background.get());
}

void COstrelServerCombo::OnAmbientChanged(DISPID id) {
    if (!m_combo)
        return;
    if (id == DISPID_AMBIENT_FONT || id == DISPID_UNKNOWN)
        m_combo.SetFont(ChildFont());
    if (id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_UNKNOWN)
        Invalidate();
}

bool COstrelServerCombo::OnSetText(const char* text) {
    return m_combo && m_combo.SetText(text ? text : "");
}

void COstrelServerCombo::OnSetFocus(HWND) {
    PassOn();
    if (m_combo)
        m_combo.SetFocus();
}
