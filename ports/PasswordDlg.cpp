#include "ports/PasswordDlg.h"

#include "resources/resource.h"

INT_PTR CPasswordDlg::Run(HWND owner) {
    return DoModal(owner, IDD_PASSWORD);
}

void CPasswordDlg::OnOk(UINT, UINT, HWND) {
    m_password = Child(IDC_PASSWORD).Text();
    EndDialog(IDOK);
}
