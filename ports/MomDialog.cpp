#include "ports/MomDialog.h"

#include "foundation/Win32/Unique.h"

#include <optional>

namespace {

constexpr char dontWarnValue[] = "DontWarn";
constexpr char userChoiceValue[] = "UserChoice";
constexpr DWORD answeredYes = 0, answeredNo = 1;

std::optional<DWORD> ReadNumber(HKEY key, const char* name) {
    DWORD value = 0, type = 0, size = sizeof value;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

void WriteNumber(HKEY key, const char* name, DWORD value) {
    ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

} // namespace

CMomDialog::CMomDialog(const MomQuestion& question) {
    const Fw::Module& module = Fw::Module::Current();
    m_key = module.String(question.key);
    m_caption = module.String(question.caption);
    m_message = module.String(question.message);
    m_yes = module.String(question.yes);
    m_no = module.String(question.no);
    Win32::UniqueKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    m_dontWarn = ReadNumber(key.get(), dontWarnValue).value_or(m_dontWarn);
    m_userChoice = ReadNumber(key.get(), userChoiceValue).value_or(m_userChoice);
}

bool CMomDialog::Confirm() {
    if (m_dontWarn != 0 && LOWORD(m_userChoice) == answeredYes)
        return true;
    ::MessageBeep(MB_ICONEXCLAMATION);
    DoModal(::GetActiveWindow(), IDD_MOM);
    return m_userChoice == answeredYes;
}

bool CMomDialog::OnInitDialog(HWND) {
    ::SetWindowTextA(m_hWnd, m_caption.c_str());
    Child(IDC_MOM_MESSAGE).SetText(m_message.c_str());
    Child(IDOK).SetText(m_yes.c_str());
    Child(IDCANCEL).SetText(m_no.c_str());
    ::CheckDlgButton(m_hWnd, IDC_MOM_DONT_WARN, m_dontWarn != 0 ? BST_CHECKED : BST_UNCHECKED);
    // Enter answers Yes, as the default button says.
    Child(IDOK).SetFocus();
    return false;
}

void CMomDialog::OnAnswer(UINT, UINT id, HWND) {
    m_userChoice = id == IDOK ? answeredYes : answeredNo;
    m_dontWarn = ::IsDlgButtonChecked(m_hWnd, IDC_MOM_DONT_WARN) == BST_CHECKED ? 1 : 0;
    StoreChoice();
    EndDialog(static_cast<INT_PTR>(m_userChoice));
}

void CMomDialog::StoreChoice() const {
    Win32::UniqueKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS)
        return;
    WriteNumber(key.get(), dontWarnValue, m_dontWarn);
    WriteNumber(key.get(), userChoiceValue, m_userChoice);
}
