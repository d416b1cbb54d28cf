#include "ports/PortListProps.h"

#include <wrl/client.h>

#include <iterator>

using Microsoft::WRL::ComPtr;

namespace {

// Each check box and the property of the list it stands for.
struct ShownColumn {
    int checkBox;
    HRESULT (STDMETHODCALLTYPE IOstrelPortList::*get)(LONG*);
    HRESULT (STDMETHODCALLTYPE IOstrelPortList::*put)(LONG);
};

constexpr ShownColumn shownColumns[] = {
    {IDC_SHOW_PORT_NUMBER, &IOstrelPortList::get_ShowPortNumberLabel,
     &IOstrelPortList::put_ShowPortNumberLabel},
    {IDC_SHOW_PORT_LABEL, &IOstrelPortList::get_ShowPortLabel, &IOstrelPortList::put_ShowPortLabel},
    {IDC_SHOW_BAUD, &IOstrelPortList::get_ShowBaudLabel, &IOstrelPortList::put_ShowBaudLabel},
    {IDC_SHOW_PHONE, &IOstrelPortList::get_ShowPhoneLabel, &IOstrelPortList::put_ShowPhoneLabel},
    {IDC_SHOW_PORT_ERRORS, &IOstrelPortList::get_ShowPortErrorLabel,
     &IOstrelPortList::put_ShowPortErrorLabel},
};

} // namespace

HRESULT CPortListProps::Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) {
    m_openStatus = S_OK;
    const HRESULT status = PropertyPageBase::Activate(hWndParent, pRect, bModal);
    return FAILED(status) ? status : m_openStatus;
}

bool CPortListProps::OnInitDialog(HWND) {
    // The page shows the first port list it serves; anything else among its objects is
    // reported to the frame and left alone.
    bool shown = false;
    for (const auto& object : Objects()) {
        ComPtr<IOstrelPortList> list;
        if (!object || FAILED(object.As(&list))) {
            m_openStatus = E_INVALIDARG;
            continue;
        }
        if (shown)
            continue;
        for (size_t index = 0; index < std::size(shownColumns); ++index) {
            LONG value = 0;
            if (SUCCEEDED((list.Get()->*shownColumns[index].get)(&value)))
                m_checked[index] = value != 0;
            ::CheckDlgButton(m_hWnd, shownColumns[index].checkBox,
                             m_checked[index] ? BST_CHECKED : BST_UNCHECKED);
        }
        shown = true;
    }
    SetDirty(false);
    return true;
}

void CPortListProps::OnCheckBoxClicked(UINT, UINT, HWND) {
    for (size_t index = 0; index < std::size(shownColumns); ++index)
        m_checked[index] = ::IsDlgButtonChecked(m_hWnd, shownColumns[index].checkBox) == BST_CHECKED;
    SetDirty(true);
}

HRESULT CPortListProps::ApplyTo(IUnknown* object) {
    ComPtr<IOstrelPortList> list;
    if (!object || FAILED(object->QueryInterface(IID_PPV_ARGS(&list))))
        return S_OK;
    for (size_t index = 0; index < std::size(shownColumns); ++index) {
        const HRESULT status = (list.Get()->*shownColumns[index].put)(m_checked[index] ? 1 : 0);
        if (FAILED(status))
            return status;
    }
    return S_OK;
}
