#include "servicemap/RdmPortAssignDlg.h"

#include "foundation/Com/Failure.h"
#include "servicemap/MapTransfer.h"

using Microsoft::WRL::ComPtr;

namespace {

// IOstrelPort::GetPortObject's kind for the phone's file system.
constexpr long fileSystemObject = 17;

} // namespace

CRdmPortAssignDlg::CRdmPortAssignDlg(IOstrelPort* port)
    : m_port(port) {
    m_asRead.fill(ServiceMap::noServiceByte);
    ComPtr<IUnknown> object;
    Com::Call(port, &IOstrelPort::GetPortObject, fileSystemObject, 0L, &object);
    if (object)
        object.As(&m_efs);
}

INT_PTR CRdmPortAssignDlg::Run(HWND owner) {
    const std::vector<BYTE>& dialog = m_face.DialogWindowTemplate();
    if (dialog.empty())
        return -1;
    return DoModalIndirect(owner, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()));
}

bool CRdmPortAssignDlg::OnInitDialog(HWND) {
    ::CheckDlgButton(m_hWnd, resetId, BST_CHECKED);
    m_face.CreateChildren(m_hWnd, "OstrelUITools", true, 0x80000000 | COLOR_BTNFACE);
    if (const Fw::ControlSite* site = m_face.Site(assignedId))
        m_assigned = site->Control<IRdmSvcAsgn>();
    if (const Fw::ControlSite* site = m_face.Site(poolId))
        m_pool = site->Control<IRdmSvcPool>();
    if (m_assigned && m_pool)
        ServiceMap::ReadMap(m_efs.Get(), m_hWnd, m_asRead, [&](IStream* table) {
            Com::Call(m_assigned, &IRdmSvcAsgn::WriteDevTable, table);
            Com::Call(m_pool, &IRdmSvcPool::WriteDevTable, table);
        });
    const HICON icon = ::LoadIconA(Fw::Module::Current().Instance(), MAKEINTRESOURCEA(IDI_SERVICE_MAPPING));
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    return true;
}

void CRdmPortAssignDlg::OnDestroy() {
    m_assigned.Reset();
    m_pool.Reset();
    m_face.ReleaseChildren();
}

void CRdmPortAssignDlg::OnOk(UINT, UINT, HWND) {
    ComPtr<IStream> edited;
    try {
        ComPtr<IUnknown> table;
        Com::Call(m_assigned, &IRdmSvcAsgn::ReadDevTable, table.GetAddressOf());
        edited = Com::Query<IStream>(Com::ThrowIfNull(table.Get()));
    } catch (...) {
        // Without the edited table there is nothing to decide on: the user may try again.
        ServiceMap::ShowWriteFailure(m_hWnd);
        return;
    }
    // A declined or failed write closes the dialog all the same; the user was told.
    ServiceMap::WriteMap(m_asRead, edited.Get(), m_efs.Get(), m_port.Get(),
                         ::IsDlgButtonChecked(m_hWnd, resetId) == BST_CHECKED, m_hWnd);
    EndDialog(IDOK);
}

void CRdmPortAssignDlg::OnCancel(UINT, UINT, HWND) {
    EndDialog(IDCANCEL);
}
