#pragma once

#include "connection/MRUServerList.h"
#include "framework/com/SupportErrorInfo.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "interfaces/OstrelUITools.h"

#include <string>

class COstrelServerCombo;

// The edit field of the combo box, subclassed: Enter and Tab there name a server, and its focus
// is the control's.
class ServerComboEdit : public Fw::WindowImpl<ServerComboEdit> {
public:
    explicit ServerComboEdit(COstrelServerCombo& owner)
        : m_owner(owner) {}

    Microsoft::WRL::ComPtr<IUnknown> KeepAlive();
    UINT OnGetDlgCode(UINT virtualKey, const MSG* message);
    void OnKeyDown(UINT virtualKey);
    void OnSetFocus(HWND previous);
    void OnKillFocus(HWND next);
    // The characters of Enter and Tab go nowhere: the edit would only beep at them.
    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam);

    static inline const Fw::MessageEntry<ServerComboEdit> messages[] = {
        Fw::OnMessage<WM_GETDLGCODE, &ServerComboEdit::OnGetDlgCode>(),
        Fw::OnMessage<WM_KEYDOWN, &ServerComboEdit::OnKeyDown>(),
        Fw::OnMessage<WM_SETFOCUS, &ServerComboEdit::OnSetFocus>(),
        Fw::OnMessage<WM_KILLFOCUS, &ServerComboEdit::OnKillFocus>(),
    };

private:
    COstrelServerCombo& m_owner;
};

// An editable drop-down list of machine names: this computer first, then the names set on any
// server combo before. It connects to nothing; it announces the chosen name through
// ServerChanged and the container connects.
class COstrelServerCombo : public Fw::Control<COstrelServerCombo, IOstrelServerCombo,
                                              &CLSID_OstrelServerCombo, _IOstrelServerComboEvents>,
                           public Fw::PersistStorage,
                           public Fw::DataObject,
                           public Fw::SpecifyPropertyPages,
                           public Fw::SupportErrorInfo<IOstrelServerCombo> {
public:
    static constexpr const char* displayName = "OstrelServerCombo";
    static constexpr SIZEL defaultExtent = {5054, 7064};
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<COstrelServerCombo>(), Fw::Entry<COstrelServerCombo, IPersistStorage>(),
        Fw::Entry<COstrelServerCombo, IDataObject>(), Fw::Entry<COstrelServerCombo, ISpecifyPropertyPages>(),
        Fw::Entry<COstrelServerCombo, ISupportErrorInfo>(),
        Fw::Entry<COstrelServerCombo, IConnectionPointContainer>());

    // The child id hosts and tests find the combo box by.
    static constexpr int comboId = 1;
    // The longest edit text taken as a name.
    static constexpr int maxTypedName = 260;

    // IOstrelServerCombo
    HRESULT STDMETHODCALLTYPE get_SelectedServer(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_SelectedServer(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_drawSizeHeight(LONG* pVal) override;

    // From the edit field: Enter or Tab names the typed server.
    void TakeTypedName();

    int OnCreate(const CREATESTRUCTA*);
    void OnDestroy();
    void OnSize(UINT, SIZE client);
    void OnSetFocus(HWND);
    // The control's text is its edit field's: a container shows a name there that is not (yet)
    // the selected server.
    bool OnSetText(const char* text);
    void OnSelectionChange(UINT code, UINT id, HWND control);

    static inline const Fw::MessageEntry<COstrelServerCombo> messages[] = {
        Fw::OnMessage<WM_CREATE, &COstrelServerCombo::OnCreate>(),
        Fw::OnMessage<WM_DESTROY, &COstrelServerCombo::OnDestroy>(),
        Fw::OnMessage<WM_SIZE, &COstrelServerCombo::OnSize>(),
        Fw::OnMessage<WM_SETFOCUS, &COstrelServerCombo::OnSetFocus>(),
        Fw::OnMessage<WM_SETTEXT, &COstrelServerCombo::OnSetText>(),
        Fw::OnCommand<comboId, CBN_SELCHANGE, &COstrelServerCombo::OnSelectionChange>(),
    };

protected:
    // Enter and Tab name a server even where a dialog host would move on or press its default.
    bool WantsKey(UINT virtualKey) const override;
    // The combo box covers the control but for the space its container gives below the field:
    // that shows the container's background, not the designer's face.
    void OnDraw(HDC dc, const RECT& bounds) override;
    void OnAmbientChanged(DISPID id) override;

private:
    void ChangeServer(std::string name);
    std::string EntryText(LRESULT index) const;
    // The height of the combo box's selection field; 0 without it.
    int SelectionFieldHeight() const;

    Fw::Window m_combo;
    ServerComboEdit m_edit{*this};
    CMRUServerList m_mru;
    std::string m_selected;
};
