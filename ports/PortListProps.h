#pragma once

#include "framework/controls/PropertyPage.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"

// The port list's property page (dialog 138): which of the list's columns are shown.
class CPortListProps : public Fw::PropertyPage<CPortListProps> {
public:
    static constexpr UINT dialogId = IDD_PORTLISTPROPS;

    HRESULT STDMETHODCALLTYPE Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) override;

    bool OnInitDialog(HWND focus);
    void OnCheckBoxClicked(UINT code, UINT id, HWND control);

    static inline const Fw::MessageEntry<CPortListProps> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CPortListProps::OnInitDialog>(),
        Fw::OnCommand<IDC_SHOW_PORT_NUMBER, BN_CLICKED, &CPortListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_SHOW_PORT_LABEL, BN_CLICKED, &CPortListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_SHOW_BAUD, BN_CLICKED, &CPortListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_SHOW_PHONE, BN_CLICKED, &CPortListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_SHOW_PORT_ERRORS, BN_CLICKED, &CPortListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_SHOW_STATE, BN_CLICKED, &CPortListProps::OnCheckBoxClicked>(),
    };

protected:
    HRESULT ApplyTo(IUnknown* object) override;

private:
    // What opening the page made of its objects: E_INVALIDARG when one is no port list.
    HRESULT m_openStatus = S_OK;
    // The five check boxes as last seen, so that Apply also works once the page is closed.
    bool m_checked[5] = {true, true, true, true, true};
};
