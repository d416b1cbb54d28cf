#include "framework/controls/PropertyPage.h"

#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

#include <cstring>

namespace Fw {

HRESULT PropertyPageBase::SetPageSite(IPropertyPageSite* pPageSite) {
    m_site = pPageSite;
    return S_OK;
}

HRESULT PropertyPageBase::Activate(HWND hWndParent, LPCRECT pRect, BOOL) {
    return Boundary([&] {
        if (!pRect)
            return E_POINTER;
        if (PageWindow())
            return E_UNEXPECTED;
        std::vector<BYTE> dialogTemplate = LoadDialogTemplate(DialogId());
        if (dialogTemplate.empty())
            return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
        MakeChildTemplate(dialogTemplate);
        const HWND page =
            CreatePageWindow(hWndParent, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()));
        if (!page)
            return E_FAIL;
        ::MoveWindow(page, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top,
                     TRUE);
        return S_OK;
    });
}

HRESULT PropertyPageBase::Deactivate() {
    DestroyPageWindow();
    return S_OK;
}

HRESULT PropertyPageBase::GetPageInfo(PROPPAGEINFO* pPageInfo) {
    return Boundary([&] {
        if (!pPageInfo)
            return E_POINTER;
        const auto info = ReadDialogTemplate(LoadDialogTemplate(DialogId()));
        if (!info)
            return E_UNEXPECTED;
        const std::wstring title = Lang::ToWide(info->caption);
        auto* copy = static_cast<LPOLESTR>(::CoTaskMemAlloc((title.size() + 1) * sizeof(wchar_t)));
        if (!copy)
            return E_OUTOFMEMORY;
        std::memcpy(copy, title.c_str(), (title.size() + 1) * sizeof(wchar_t));
        pPageInfo->cb = sizeof(PROPPAGEINFO);
        pPageInfo->pszTitle = copy;
        pPageInfo->size = DialogSizeInPixels(*info);
        pPageInfo->pszDocString = nullptr;
        pPageInfo->pszHelpFile = nullptr;
        pPageInfo->dwHelpContext = 0;
        return S_OK;
    });
}

HRESULT PropertyPageBase::SetObjects(ULONG cObjects, IUnknown** ppUnk) {
    return Boundary([&] {
        if (cObjects && !ppUnk)
            return E_POINTER;
        m_objects.assign(ppUnk, ppUnk + cObjects);
        return S_OK;
    });
}

HRESULT PropertyPageBase::Show(UINT nCmdShow) {
    const HWND page = PageWindow();
    if (!page)
        return E_UNEXPECTED;
    ::ShowWindow(page, static_cast<int>(nCmdShow));
    return S_OK;
}

HRESULT PropertyPageBase::Move(LPCRECT pRect) {
    const HWND page = PageWindow();
    if (!pRect)
        return E_POINTER;
    if (!page)
        return E_UNEXPECTED;
    ::MoveWindow(page, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top, TRUE);
    return S_OK;
}

HRESULT PropertyPageBase::IsPageDirty() {
    return m_dirty ? S_OK : S_FALSE;
}

HRESULT PropertyPageBase::Apply() {
    return Boundary([&] {
        HRESULT first = S_OK;
        for (const auto& object : m_objects) {
            const HRESULT status = ApplyTo(object.Get());
            if (FAILED(status) && SUCCEEDED(first))
                first = status;
        }
        if (SUCCEEDED(first))
            m_dirty = false;
        return first;
    });
}

HRESULT PropertyPageBase::Help(LPCOLESTR) {
    return E_NOTIMPL;
}

HRESULT PropertyPageBase::TranslateAccelerator(MSG* pMsg) {
    const HWND page = PageWindow();
    if (!pMsg)
        return E_POINTER;
    if (!page || (pMsg->hwnd != page && !::IsChild(page, pMsg->hwnd)))
        return S_FALSE;
    // Tab moves between the page's own controls, and past its ends on to the frame's; Enter
    // and Esc are the frame's OK and Cancel. The rest (arrows in a group, mnemonics) is the
    // page's dialog manager's.
    if (pMsg->message == WM_KEYDOWN) {
        switch (pMsg->wParam) {
        case VK_TAB:
            return MoveFocusByTab(page, *pMsg) ? S_OK : S_FALSE;
        case VK_RETURN:
        case VK_ESCAPE:
            return S_FALSE;
        default:
            break;
        }
    }
    return ::IsDialogMessageA(page, pMsg) ? S_OK : S_FALSE;
}

void PropertyPageBase::SetDirty(bool dirty) {
    const bool becameDirty = dirty && !m_dirty;
    m_dirty = dirty;
    if (becameDirty && m_site)
        m_site->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

} // namespace Fw
