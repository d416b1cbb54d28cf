#include "ports/BaudRateDlg.h"

#include "foundation/Lang/Text.h"
#include "framework/windows/ListView.h"
#include "resources/resource.h"

INT_PTR CBaudRateDlg::Run(HWND owner) {
    return DoModal(owner, IDD_BAUD_RATES);
}

std::uint32_t CBaudRateDlg::TriedMask() const {
    std::uint32_t mask = 0;
    for (const BaudRateEntry& entry : m_entries)
        mask |= entry.tried ? entry.maskBit : 0;
    return mask;
}

bool CBaudRateDlg::OnInitDialog(HWND) {
    const Fw::ListView list(Child(IDC_BAUD_LIST).Handle());
    list.SetExtendedStyle(LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    // One untitled column, clear of the vertical scroll bar a long list shows.
    list.InsertColumn(0, "", list.ClientRect().right - ::GetSystemMetrics(SM_CXVSCROLL));
    for (size_t index = 0; index < m_entries.size(); ++index) {
        const int row = list.InsertItem(static_cast<int>(index), Lang::Format("%u", m_entries[index].baudRate).c_str(),
                                        static_cast<LPARAM>(index));
        list.SetCheckState(row, m_entries[index].tried);
    }
    return true;
}

void CBaudRateDlg::OnOk(UINT, UINT, HWND) {
    const Fw::ListView list(Child(IDC_BAUD_LIST).Handle());
    for (size_t index = 0; index < m_entries.size(); ++index)
        m_entries[index].tried = list.GetCheckState(static_cast<int>(index));
    EndDialog(IDOK);
}
