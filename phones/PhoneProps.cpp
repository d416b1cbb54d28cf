#include "phones/PhoneProps.h"

#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"
#include "framework/com/Module.h"
#include "framework/windows/BoldFont.h"
#include "framework/windows/DialogKeys.h"
#include "server/OwnedRecord.h"
#include "server/ServerGone.h"

#include <commctrl.h>

namespace {

// The controls drawn in bold: every value the window shows.
constexpr int boldControls[] = {IDC_PHONE_MODEL,  IDC_PHONE_PORT,     IDC_PHONE_BANNER,     IDC_PHONE_ESN,
                                IDC_PHONE_STATE,  IDC_PHONE_MIN,      IDC_PHONE_ANALOG_MIN, IDC_PHONE_COMPILED,
                                IDC_PHONE_RELEASED, IDC_PHONE_SCM,    IDC_PHONE_TMX,        IDC_PHONE_SLOT_CYCLE,
                                IDC_PHONE_PROTOCOL_REVISION, IDC_PHONE_PHONE_STATE, IDC_PHONE_VERSION};

// What a phone without a model number leaves blank: every field from Banner down.
constexpr int identityControls[] = {IDC_PHONE_BANNER,   IDC_PHONE_ESN,        IDC_PHONE_STATE,
                                    IDC_PHONE_MIN,      IDC_PHONE_ANALOG_MIN, IDC_PHONE_COMPILED,
                                    IDC_PHONE_RELEASED, IDC_PHONE_SCM,        IDC_PHONE_TMX,
                                    IDC_PHONE_SLOT_CYCLE, IDC_PHONE_PROTOCOL_REVISION};

// The chip text as the window shows it: a chip the phone could not name carries its version.
std::string ChipText(const CPhoneItem& item) {
    if (item.chipText == "Unknown")
        return Lang::Format("%s (%s)", item.chipText.c_str(), item.majorMinor.c_str());
    return item.chipText;
}

} // namespace

CPhoneProps::~CPhoneProps() {
    if (m_hWnd)
        Close();
}

bool CPhoneProps::Open(HWND owner) {
    if (!Create(owner, IDD_PHONE_PROPERTIES))
        return false;
    Show(SW_SHOW);
    return true;
}

bool CPhoneProps::OnInitDialog(HWND) {
    m_boldFont = Fw::SetBoldFont(m_hWnd, boldControls);
    Fw::RegisterDialogKeys(m_hWnd);
    Update(m_item);
    ::SetTimer(m_hWnd, refreshTimer, refreshInterval, nullptr);
    // OK, not the version box, the first tab stop, whose text would open selected.
    Child(IDOK).SetFocus();
    return false;
}

void CPhoneProps::Update(CPhoneItem* item) {
    m_item = item;
    if (!m_hWnd || !item)
        return;
    m_portId = item->GetID();
    if (!m_images) {
        m_images.reset(::ImageList_LoadImageA(Fw::Module::Current().Instance(),
                                              MAKEINTRESOURCEA(IDB_PHONE_IMAGES_LARGE), 32, 14, RGB(255, 255, 255),
                                              IMAGE_BITMAP, LR_CREATEDIBSECTION));
    }
    ShowIcon();
    Child(IDC_PHONE_PORT).SetText(item->portText.c_str());
    if (item->modelNumber == 0) {
        Child(IDC_PHONE_MODEL).SetText(Fw::Module::Current().String(IDS_PHONE_NOT_CONNECTED).c_str());
        for (const int id : identityControls)
            Child(id).SetText("");
        return;
    }
    const struct {
        int id;
        const std::string& text;
    } fields[] = {
        {IDC_PHONE_MODEL, item->modelText},       {IDC_PHONE_ESN, item->esnText},
        {IDC_PHONE_BANNER, item->banner},         {IDC_PHONE_MIN, item->phoneNumber},
        {IDC_PHONE_ANALOG_MIN, item->analogMin},  {IDC_PHONE_STATE, item->stateText},
        {IDC_PHONE_PHONE_STATE, item->phoneStateText}, {IDC_PHONE_COMPILED, item->compiled},
        {IDC_PHONE_RELEASED, item->released},     {IDC_PHONE_VERSION, item->buildVersion},
        {IDC_PHONE_SCM, item->stationClassMark},  {IDC_PHONE_SLOT_CYCLE, item->slotCycleIndex},
        {IDC_PHONE_PROTOCOL_REVISION, item->protocolRevision},
    };
    for (const auto& field : fields)
        Child(field.id).SetText(field.text.c_str());
    Child(IDC_PHONE_TMX).SetText(ChipText(*item).c_str());
}

void CPhoneProps::ShowIcon() {
    // Making an icon costs a hundred times what the rest of a tick does: only a new picture is made.
    if (!m_images || !m_item || m_item->Image() == m_shownImage)
        return;
    Win32::UniqueIcon icon(::ImageList_GetIcon(m_images.get(), m_item->Image(), ILD_NORMAL));
    Child(IDC_PHONE_ICON).Send(STM_SETICON, reinterpret_cast<WPARAM>(icon.get()));
    // The static shows the new icon now; the old one may go.
    m_icon = std::move(icon);
    m_shownImage = m_item->Image();
}

void CPhoneProps::SetChanged(int id, const std::string& text) const {
    const Fw::Window control = Child(id);
    if (control.Text() != text)
        control.SetText(text.c_str());
}

void CPhoneProps::OnTimer(UINT_PTR id) {
    if (id != refreshTimer || !m_item)
        return;
    if (m_item->InDownloadMode()) {
        const std::string downloading = Fw::Module::Current().String(IDS_PHONE_SOFTWARE_DOWNLOAD);
        SetChanged(IDC_PHONE_STATE, downloading);
        SetChanged(IDC_PHONE_PHONE_STATE, downloading);
        ShowIcon();
        return;
    }
    Server::OwnedRecord<OstrelPhoneInfo> phone;
    const HRESULT status =
        m_agent ? m_agent->GetPortPhoneInfo(static_cast<short>(m_portId), phone.put()) : E_POINTER;
    if (Server::IsServerGone(status)) {
        // Nothing will answer again: the window keeps what it showed, says why it stopped,
        // and asks no more.
        ::KillTimer(m_hWnd, refreshTimer);
        SetChanged(IDC_PHONE_STATE, Lang::ErrorText(status));
        return;
    }
    if (FAILED(status))
        return;
    // The call may have let the list rebuild the row and take the item away.
    if (!m_item || !m_hWnd)
        return;
    m_item->stateText = Lang::FromBstr(phone->stateText);
    m_item->phoneStateText = Lang::FromBstr(phone->phoneStateText);
    m_item->banner = Lang::FromBstr(phone->banner);
    m_item->slotCycleIndex = Lang::Format("%d", phone->slotCycleIndex);
    SetChanged(IDC_PHONE_BANNER, m_item->banner);
    SetChanged(IDC_PHONE_STATE, m_item->stateText);
    SetChanged(IDC_PHONE_PHONE_STATE, m_item->phoneStateText);
    SetChanged(IDC_PHONE_SLOT_CYCLE, m_item->slotCycleIndex);
    ShowIcon();
}

void CPhoneProps::Close() {
    if (!m_hWnd)
        return;
    ::KillTimer(m_hWnd, refreshTimer);
    Fw::UnregisterDialogKeys(m_hWnd);
    for (const int id : boldControls)
        Child(id).SetFont(nullptr, false);
    Child(IDC_PHONE_ICON).Send(STM_SETICON, 0);
    Destroy();
    m_boldFont.reset();
    m_icon.reset();
    m_shownImage = -1;
    m_images.reset();
    m_item = nullptr;
    if (::IsWindow(m_list)) {
        ::PostMessageA(m_list, WM_PHONE_PROPS_CLOSED, static_cast<WPARAM>(m_portId), 0);
        ::RedrawWindow(m_list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    }
}
