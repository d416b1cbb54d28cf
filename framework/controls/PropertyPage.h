#pragma once

#include "framework/com/ComObject.h"
#include "framework/windows/DialogTemplate.h"
#include "framework/windows/Window.h"

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <vector>

namespace Fw {

// IPropertyPage for a page drawn by a dialog template of the module. The frame keeps the
// page's objects in SetObjects; Apply hands each one to the page class.
class PropertyPageBase : public IPropertyPage {
public:
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* pPageSite) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* pPageInfo) override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG cObjects, IUnknown** ppUnk) override;
    HRESULT STDMETHODCALLTYPE Show(UINT nCmdShow) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT pRect) override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() override;
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR pszHelpDir) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* pMsg) override;

    // A change on the page: the frame hears of the first one, to enable its Apply button.
    void SetDirty(bool dirty);
    bool Dirty() const { return m_dirty; }
    const std::vector<Microsoft::WRL::ComPtr<IUnknown>>& Objects() const { return m_objects; }

protected:
    PropertyPageBase() = default;
    virtual ~PropertyPageBase() = default;

    virtual UINT DialogId() const = 0;
    virtual HWND CreatePageWindow(HWND parent, const DLGTEMPLATE* dialogTemplate) = 0;
    virtual HWND PageWindow() const = 0;
    virtual void DestroyPageWindow() = 0;
    // Writes the page's values to one of its objects; the class decides what it cannot serve.
    virtual HRESULT ApplyTo(IUnknown* object) = 0;

private:
    Microsoft::WRL::ComPtr<IPropertyPageSite> m_site;
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> m_objects;
    bool m_dirty = false;
};

// A page class T declares `static constexpr UINT dialogId`, implements ApplyTo and reads its
// objects into the dialog from its map's WM_INITDIALOG handler.
template <class T>
class PropertyPage : public ObjectRoot, public PropertyPageBase, public DialogImpl<T> {
public:
    static inline const InterfaceEntry interfaces[] = {
        Entry<T, IPropertyPage>(),
    };

protected:
    UINT DialogId() const override { return T::dialogId; }
    HWND CreatePageWindow(HWND parent, const DLGTEMPLATE* dialogTemplate) override {
        return this->CreateIndirect(parent, dialogTemplate);
    }
    HWND PageWindow() const override { return this->m_hWnd; }
    void DestroyPageWindow() override { this->Destroy(); }
};

} // namespace Fw
