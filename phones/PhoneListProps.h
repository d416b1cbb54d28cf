#pragma once

#include "framework/controls/PropertyPage.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"

// The phone list's property page (dialog 204, "Phone List"): which labels a phone list or a
// phone server control shows.
class CPhoneListProps : public Fw::PropertyPage<CPhoneListProps> {
public:
    static constexpr UINT dialogId = IDD_PHONELISTPROPS;
    static constexpr size_t labelCount = 6;

    HRESULT STDMETHODCALLTYPE Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) override;
    // Stops at the first object that is neither a phone list nor a phone server control.
    HRESULT STDMETHODCALLTYPE Apply() override;

    bool OnInitDialog(HWND focus);
    void OnCheckBoxClicked(UINT code, UINT id, HWND control);

    static inline const Fw::MessageEntry<CPhoneListProps> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CPhoneListProps::OnInitDialog>(),
        Fw::OnCommand<IDC_PHONE_SHOW_SERVER, BN_CLICKED, &CPhoneListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_PHONE_SHOW_TYPE, BN_CLICKED, &CPhoneListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_PHONE_SHOW_ESN, BN_CLICKED, &CPhoneListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_PHONE_SHOW_BANNER, BN_CLICKED, &CPhoneListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_PHONE_SHOW_PORT, BN_CLICKED, &CPhoneListProps::OnCheckBoxClicked>(),
        Fw::OnCommand<IDC_PHONE_SHOW_NUMBER, BN_CLICKED, &CPhoneListProps::OnCheckBoxClicked>(),
    };

protected:
    HRESULT ApplyTo(IUnknown* object) override;

private:
    // What opening the page made of its objects: E_INVALIDARG when one serves no labels.
    HRESULT m_openStatus = S_OK;
    // The check boxes as last seen, in apply order, so that Apply also works once the page
    // is closed.
    bool m_checked[labelCount] = {true, true, true, true, true, true};
};
