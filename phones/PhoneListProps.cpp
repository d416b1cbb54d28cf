#include "phones/PhoneListProps.h"

#include "framework/com/Boundary.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

// A check box and the property it stands for on an interface I that has the six labels.
template <class I>
struct ShownLabel {
    int checkBox;
    HRESULT (STDMETHODCALLTYPE I::*get)(LONG*);
    HRESULT (STDMETHODCALLTYPE I::*put)(LONG);
};

// In the order Apply writes them.
template <class I>
constexpr ShownLabel<I> shownLabels[CPhoneListProps::labelCount] = {
    {IDC_PHONE_SHOW_BANNER, &I::get_ShowBannerLabel, &I::put_ShowBannerLabel},
    {IDC_PHONE_SHOW_TYPE, &I::get_ShowPhoneTypeLabel, &I::put_ShowPhoneTypeLabel},
    {IDC_PHONE_SHOW_ESN, &I::get_ShowESNLabel, &I::put_ShowESNLabel},
    {IDC_PHONE_SHOW_NUMBER, &I::get_ShowNumberLabel, &I::put_ShowNumberLabel},
    {IDC_PHONE_SHOW_SERVER, &I::get_ShowServerLabel, &I::put_ShowServerLabel},
    {IDC_PHONE_SHOW_PORT, &I::get_ShowPortLabel, &I::put_ShowPortLabel},
};

// Calls `use` with the object's phone list, or else its phone server control; false when it
// has neither.
template <class F>
bool WithLabels(IUnknown* object, F&& use) {
    if (!object)
        return false;
    if (ComPtr<IOstrelPhoneList> list; SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&list)))) {
        use(list.Get(), shownLabels<IOstrelPhoneList>);
        return true;
    }
    if (ComPtr<IOstrelPhoneServerCtrl> control; SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&control)))) {
        use(control.Get(), shownLabels<IOstrelPhoneServerCtrl>);
        return true;
    }
    return false;
}

} // namespace

HRESULT CPhoneListProps::Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) {
    m_openStatus = S_OK;
    const HRESULT status = PropertyPageBase::Activate(hWndParent, pRect, bModal);
    return FAILED(status) ? status : m_openStatus;
}

bool CPhoneListProps::OnInitDialog(HWND) {
    // With several objects the last one's values stay.
    for (const auto& object : Objects()) {
        const bool served = WithLabels(object.Get(), [&](auto* target, const auto& labels) {
            for (size_t index = 0; index < labelCount; ++index) {
                LONG value = 0;
                if (SUCCEEDED((target->*labels[index].get)(&value)))
                    m_checked[index] = value != 0;
            }
        });
        if (!served)
            m_openStatus = E_INVALIDARG;
    }
    for (size_t index = 0; index < labelCount; ++index)
        ::CheckDlgButton(m_hWnd, shownLabels<IOstrelPhoneList>[index].checkBox,
                         m_checked[index] ? BST_CHECKED : BST_UNCHECKED);
    SetDirty(false);
    return true;
}

void CPhoneListProps::OnCheckBoxClicked(UINT, UINT, HWND) {
    for (size_t index = 0; index < labelCount; ++index)
        m_checked[index] =
            ::IsDlgButtonChecked(m_hWnd, shownLabels<IOstrelPhoneList>[index].checkBox) == BST_CHECKED;
    SetDirty(true);
}

HRESULT CPhoneListProps::ApplyTo(IUnknown* object) {
    HRESULT result = S_OK;
    const bool served = WithLabels(object, [&](auto* target, const auto& labels) {
        for (size_t index = 0; index < labelCount && SUCCEEDED(result); ++index)
            result = (target->*labels[index].put)(m_checked[index] ? 1 : 0);
    });
    return served ? result : E_NOINTERFACE;
}

HRESULT CPhoneListProps::Apply() {
    return Fw::Boundary([&] {
        for (const auto& object : Objects()) {
            if (ApplyTo(object.Get()) == E_NOINTERFACE)
                break;
        }
        SetDirty(false);
    });
}
