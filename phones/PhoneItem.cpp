#include "phones/PhoneItem.h"

#include "foundation/Lang/Text.h"
#include "foundation/StateVocabulary.h"
#include "framework/com/Module.h"
#include "lists/RowOrder.h"
#include "resources/resource.h"
#include "server/PhoneEsn.h"

namespace {

std::string Text(UINT id) {
    return Fw::Module::Current().String(id);
}

// A record's text, or the placeholder shown for an empty one.
std::string TextOr(BSTR text, UINT placeholderId) {
    std::string value = Lang::FromBstr(text);
    return value.empty() ? Text(placeholderId) : value;
}

std::string TextOrBlank(BSTR text) {
    std::string value = Lang::FromBstr(text);
    return value.empty() ? std::string(" ") : value;
}

std::string Bits(unsigned char value) {
    std::string bits;
    for (int bit = 7; bit >= 0; --bit)
        bits += (value >> bit) & 1 ? '1' : '0';
    return bits;
}

int BaseImage(long formFactor) {
    switch (formFactor) {
    case 6:
    case 7:
        return phoneImageFlip;
    case 4:
        return phoneImageBar;
    case 1:
    case 8:
        return phoneImageHandset;
    case 9:
        return phoneImageDesktopModem;
    case 2:
    case 3:
        return phoneImageBoard;
    default:
        return phoneImageGeneric;
    }
}

} // namespace

CPhoneItem::CPhoneItem(const OstrelPhoneInfo& phone, const std::string& portName, const std::string& label,
                       const OstrelModelEx& model)
    : portId(phone.portId),
      mode(phone.mode),
      locked(phone.locked),
      authorized(phone.authorized != 0),
      platformDevice(phone.platformDevice != 0) {
    if (InDownloadMode()) {
        // A phone being loaded has no identity to show yet.
        phoneName = modelText = Text(IDS_PHONE_DOWNLOAD_NAME);
        esnText = phoneNumber = banner = Text(IDS_PHONE_DOWNLOAD_TEXT);
    } else {
        modelNumber = model.hasValue ? model.modelNumber : phone.modelNumber;
        modelText = Lang::FromBstr(phone.modelText);
        if (modelText.empty())
            modelText = Text(platformDevice ? IDS_PHONE_PLATFORM_MODEL : IDS_PHONE_UNKNOWN_MODEL);
        phoneName = TextOr(phone.phoneName, IDS_PHONE_NO_NAME);
        formFactor = phone.formFactor;
        const bool hasEsn = phone.esn && phone.esn[0] != L'\0';
        if (hasEsn && Server::ParseEsn(phone.esn, esn)) {
            esnText = Lang::Format("%lX", esn);
        } else {
            esn = 0;
            esnText = Text(IDS_PHONE_NO_ESN);
        }
        phoneNumber = TextOrBlank(phone.phoneNumber);
        banner = TextOrBlank(phone.banner);
    }
    portLabel = label;
    portText = label.empty() ? portName : portName + " (" + label + ")";
    if (!InDownloadMode()) {
        analogMin = TextOr(phone.analogMin, IDS_PHONE_NO_ANALOG_MIN);
        buildVersion = Lang::FromBstr(phone.buildVersion);
        compiled = Lang::FromBstr(phone.compileDate) + "   " + Lang::FromBstr(phone.compileTime);
        released = Lang::FromBstr(phone.releaseDate) + "   " + Lang::FromBstr(phone.releaseTime);
        stateText = Lang::FromBstr(phone.stateText);
        phoneStateText = Lang::FromBstr(phone.phoneStateText);
        stationClassMark = Bits(phone.stationClassMark);
        slotCycleIndex = Lang::Format("%d", phone.slotCycleIndex);
        majorMinor = Lang::Format("%d.%d", phone.majorVersion, phone.minorVersion);
        protocolRevision = Lang::Format("%d", phone.protocolRevision);
        chipText = Lang::FromBstr(phone.chipText);
    }
    SetID(portId);
}

// Out of line so that the class's virtual table lives in this one object file.
CPhoneItem::~CPhoneItem() = default;

bool CPhoneItem::InDownloadMode() const {
    return IsDownloadMode(mode);
}

const std::string& CPhoneItem::ColumnText(int column) const {
    switch (column) {
    case phoneColumnEsn:
        return esnText;
    case phoneColumnNumber:
        return phoneNumber;
    case phoneColumnBanner:
        return banner;
    case phoneColumnPort:
        return portText;
    default:
        return modelText;
    }
}

int CPhoneItem::Image() const {
    if (authorized)
        return BaseImage(formFactor) + (locked ? 1 : 0);
    if (platformDevice)
        return locked ? phoneImageBoard + 1 : phoneImageBoard;
    return phoneImageNoEntry;
}

int ComparePhoneItems(const CPhoneItem* item1, const CPhoneItem* item2, int column) {
    if (!item1 || !item2)
        return 0;
    if (column == phoneColumnPort)
        return ComparePortNames(item1->portText, item2->portText);
    return CompareTexts(item1->ColumnText(column), item2->ColumnText(column));
}
