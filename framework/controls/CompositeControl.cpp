#include "framework/controls/CompositeControl.h"

#include "foundation/Lang/Text.h"
#include "foundation/Lang/Trace.h"
#include "framework/controls/Persistence.h"

#include <algorithm>

namespace Fw {

using Microsoft::WRL::ComPtr;

namespace {

constexpr UINT dialogResource = 5, dialogInitResource = 240;

} // namespace

CompositeFace::~CompositeFace() {
    ReleaseChildren();
}

bool CompositeFace::Parsed() {
    if (m_parsed)
        return true;
    m_parsed = DialogTemplate::Parse(ModuleResource(m_templateId, dialogResource));
    if (!m_parsed)
        Lang::Trace("composite face %u: no whole dialog template of that id\r\n", m_templateId);
    return m_parsed.has_value();
}

const std::vector<BYTE>& CompositeFace::Template() {
    if (!m_face.empty() || !Parsed())
        return m_face;
    // A child of the site's window, shown by activation. Without DS_CONTROL a host's dialog
    // takes the face for one control and leaves the navigation inside it to the control.
    const DWORD notOnAChild = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME |
                              WS_VISIBLE | WS_DISABLED | DS_CONTROL;
    m_face = m_parsed->WithoutEmbedded((m_parsed->Style() & ~notOnAChild) | WS_CHILD);
    return m_face;
}

const std::vector<BYTE>& CompositeFace::DialogWindowTemplate() {
    if (m_dialog.empty() && Parsed())
        m_dialog = m_parsed->WithoutEmbedded(m_parsed->Style());
    return m_dialog;
}

void CompositeFace::CreateChildren(HWND face, const std::string& hostName, bool userMode,
                                   OLE_COLOR backColor, std::span<const int> heard, ChildEventRelay relay) {
    ReleaseChildren();
    if (!m_parsed || m_parsed->EmbeddedItems().empty())
        return;
    std::map<int, std::vector<BYTE>> initialData;
    if (const auto resource = ModuleResource(m_templateId, dialogInitResource); !resource.empty()) {
        if (auto read = ReadDialogInit(resource))
            initialData = std::move(*read);
        else
            Lang::Trace("composite face %u: malformed initial data, every control starts new\r\n",
                        m_templateId);
    }
    m_children = std::make_unique<ControlContainer>(face, hostName);
    m_relay = std::make_shared<const ChildEventRelay>(std::move(relay));
    EmbedOptions options;
    options.userMode = userMode;
    options.backColor = backColor;
    // Read once the focus has settled: while a child loses it, it is not yet elsewhere.
    options.focusChanged = [face](bool) { ::PostMessageA(face, focusMoved, 0, 0); };

    // The dialog manager made the other items in template order: the face's children, first
    // to last. Each embedded child goes in after the item before it, so that Tab reaches it
    // where the template puts it.
    std::vector<HWND> made;
    for (HWND child = ::GetWindow(face, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        made.push_back(child);
    const auto& items = m_parsed->EmbeddedItems();
    HWND after = HWND_TOP;
    size_t madeBefore = 0;
    for (size_t index = 0; index < items.size(); ++index) {
        const EmbeddedItem& item = items[index];
        if (const size_t before = item.position - index; before > madeBefore && before <= made.size()) {
            after = made[before - 1];
            madeBefore = before;
        }
        const auto data = initialData.find(item.id);
        const bool listened = std::find(heard.begin(), heard.end(), item.id) != heard.end();
        options.eventSink = listened ? ChildEventSink::Create(item.id, m_relay) : nullptr;
        ControlSite* site = Embed(face, item, data == initialData.end() ? nullptr : &data->second, options);
        if (!site)
            continue;
        ::SetWindowPos(site->Window(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = site->Window();
        m_sites[item.id] = site;
    }
}

ControlSite* CompositeFace::Embed(HWND face, const EmbeddedItem& item, const std::vector<BYTE>* data,
                                  EmbedOptions options) {
    ComPtr<IUnknown> child;
    if (const HRESULT status = Module::Current().CreateObject(item.clsid, IID_PPV_ARGS(&child));
        FAILED(status)) {
        Trace(item, "creating it", status);
        return nullptr;
    }
    if (data && !(options.data = InitialDataStream(*data))) {
        Trace(item, "reading its initial data", E_FAIL);
        return nullptr;
    }
    options.rect = item.units;
    ::MapDialogRect(face, &options.rect);
    try {
        ControlSite& site = m_children->Embed(child.Get(), options);
        const HRESULT status = site.Activate();
        const HWND window = site.Window();
        if (FAILED(status) || !window) {
            Trace(item, "IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE)", FAILED(status) ? status : E_FAIL);
            site.Close();
            return nullptr;
        }
        ::SetWindowLongPtrA(window, GWLP_ID, item.id);
        // The dialog manager tabs by the item's own tab stop and group, not the control's.
        const LONG_PTR navigation = WS_TABSTOP | WS_GROUP;
        ::SetWindowLongPtrA(window, GWL_STYLE,
                            (::GetWindowLongPtrA(window, GWL_STYLE) & ~navigation) |
                                (item.style & navigation));
        return &site;
    } catch (const EmbedError& failure) {
        Trace(item, failure.Step(), failure.Error());
        return nullptr;
    }
}

void CompositeFace::Trace(const EmbeddedItem& item, const char* step, HRESULT status) const {
    wchar_t clsid[40] = L"";
    ::StringFromGUID2(item.clsid, clsid, 40);
    Lang::Trace("composite face %u: control %d %s left out: %s answered 0x%08lX\r\n", m_templateId, item.id,
                Lang::FromWide(clsid).c_str(), step, static_cast<unsigned long>(status));
}

void CompositeFace::ReleaseChildren() {
    m_relay.reset();
    m_sites.clear();
    m_children.reset();
}

ControlSite* CompositeFace::Site(int id) const {
    const auto found = m_sites.find(id);
    return found == m_sites.end() ? nullptr : found->second;
}

void CompositeFace::AmbientsChanged(HWND face, DISPID id, bool userMode, OLE_COLOR backColor) {
    for (const auto& [childId, site] : m_sites) {
        if (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN)
            site->SetUserMode(userMode);
        if (id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_UNKNOWN)
            site->SetBackColor(backColor);
    }
    // The face's own controls paint their backgrounds too.
    if (face && (id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_UNKNOWN))
        ::RedrawWindow(face, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HRESULT CompositeFace::TranslateAccelerator(HWND face, const MSG& message) const {
    const bool keyboard = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    if (!face || !keyboard || (message.hwnd != face && !::IsChild(face, message.hwnd)))
        return S_FALSE;
    // The UI-active child's own keys (a list's arrows) come before the face's navigation.
    if (const auto active = m_children ? m_children->ActiveObject() : nullptr) {
        HWND child = nullptr;
        MSG copy = message;
        if (SUCCEEDED(active->GetWindow(&child)) && child &&
            (child == message.hwnd || ::IsChild(child, message.hwnd)) &&
            active->TranslateAccelerator(&copy) == S_OK)
            return S_OK;
    }
    return MoveFocusByTab(face, message) ? S_OK : S_FALSE;
}

HBRUSH CompositeFace::Background(HDC dc, COLORREF color) {
    if (!m_brush || color != m_brushColor) {
        m_brush.reset(::CreateSolidBrush(color));
        m_brushColor = color;
    }
    ::SetBkColor(dc, color);
    return m_brush.get();
}

} // namespace Fw
