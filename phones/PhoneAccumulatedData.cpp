#include "phones/PhoneAccumulatedData.h"

#include "foundation/Lang/Text.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"

#include <comdef.h>

#include <algorithm>

bool CPhoneAccumulatedData::OnInitDialog(HWND) {
    m_list = Fw::ListView(Child(IDC_ACCUMULATED_LIST).Handle());
    // The first column keeps the spelling its users know.
    const Fw::Module& module = Fw::Module::Current();
    m_list.InsertColumn(0, module.String(IDS_ACCUMULATED_COOKIE_COLUMN).c_str(), 100, LVCFMT_LEFT);
    m_list.InsertColumn(1, module.String(IDS_ACCUMULATED_BYTES_COLUMN).c_str(), 256, LVCFMT_LEFT);
    Load();
    ::SetTimer(m_hWnd, refreshTimer, refreshInterval, nullptr);
    return true;
}

void CPhoneAccumulatedData::Load() {
    if (!m_agent)
        return;
    try {
        long count = capacity;
        Win32::UniqueSafeArray cookies, byteCounts;
        if (FAILED(m_agent->GetAccumulatedData(static_cast<short>(m_portId), &count, cookies.put(),
                                               byteCounts.put())))
            return;
        // Only what the count vouches for and both arrays hold.
        const Win32::SafeArrayAccess<long> cookieAccess(cookies.get());
        const Win32::SafeArrayAccess<LONGLONG> byteAccess(byteCounts.get());
        const auto ids = cookieAccess.First(std::min(count, capacity));
        const auto bytes = byteAccess.First(static_cast<long>(ids.size()));
        for (size_t row = 0; row < bytes.size(); ++row) {
            const int index = m_list.InsertItem(static_cast<int>(row), Lang::Format("%ld", ids[row]).c_str(), 0);
            m_list.SetItemText(index, 1, Lang::Format("%lld", bytes[row]).c_str());
        }
    } catch (const _com_error&) {
        // Arrays of another shape than the server promises: nothing to show this time.
    }
}

void CPhoneAccumulatedData::OnTimer(UINT_PTR id) {
    if (id != refreshTimer)
        return;
    m_list.DeleteAllItems();
    Load();
}

void CPhoneAccumulatedData::OnClose(UINT, UINT, HWND) {
    ::KillTimer(m_hWnd, refreshTimer);
    m_list.DeleteAllItems();
    EndDialog(IDOK);
}
