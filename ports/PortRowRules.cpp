#include "ports/PortRowRules.h"

#include "foundation/Lang/Text.h"
#include "foundation/StateVocabulary.h"
#include "framework/com/Module.h"
#include "resources/resource.h"

#include <cstdlib>
#include <cwchar>
#include <utility>

namespace {

std::string Text(UINT id) {
    return Fw::Module::Current().String(id);
}

template <class T>
int Order(T value1, T value2) {
    return value1 < value2 ? -1 : value2 < value1 ? 1 : 0;
}

// Case-insensitive in the user's locale, as the rest of the user's desktop sorts.
int CompareTexts(std::string_view text1, std::string_view text2) {
    const int result =
        ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text1.data(), static_cast<int>(text1.size()),
                         text2.data(), static_cast<int>(text2.size()));
    return result == 0 ? 0 : result - CSTR_EQUAL;
}

bool IsComName(std::string_view name) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return name.size() > 3 && lower(name[0]) == 'c' && lower(name[1]) == 'o' && lower(name[2]) == 'm';
}

// The decimal number after "COM", read as far as it goes ("COM1A" is 1, "COMX" is 0).
long ComNumber(std::string_view name) {
    const std::string digits(name.substr(3));
    return std::strtol(digits.c_str(), nullptr, 10);
}

// The ESN's value, and whether the whole text was a decimal number (anything after the
// digits makes it unreadable). An empty ESN reads as 0: a phone that answers without one.
bool ReadEsn(const wchar_t* esn, unsigned long& value) {
    const wchar_t* text = esn ? esn : L"";
    wchar_t* stop = nullptr;
    value = std::wcstoul(text, &stop, 10);
    return *stop == L'\0';
}

} // namespace

const PortListColumnResources portListColumns[portColumnCount] = {
    {IDS_PORT_COLUMN_PORT, IDS_PORT_COLUMN_PORT_WIDTH},
    {IDS_PORT_COLUMN_STATE, IDS_PORT_COLUMN_STATE_WIDTH},
    {IDS_PORT_COLUMN_LABEL, IDS_PORT_COLUMN_LABEL_WIDTH},
    {IDS_PORT_COLUMN_PHONE, IDS_PORT_COLUMN_PHONE_WIDTH},
    {IDS_PORT_COLUMN_LINK, IDS_PORT_COLUMN_LINK_WIDTH},
};

int ColumnWidth(std::string_view widthText, bool shown) {
    return shown ? static_cast<int>(std::strtol(std::string(widthText).c_str(), nullptr, 10)) : 0;
}

bool IsPortShown(const OstrelPortConfigEx& port, unsigned long displayMask) {
    return IsShownByDisplayMask(port.portState, displayMask);
}

int RowIndexForPlacement(RowPlacement placement, int rowCount, int position) {
    switch (placement) {
    case RowPlacement::First:
        return 0;
    case RowPlacement::Last:
        return rowCount;
    case RowPlacement::At:
        break;
    }
    return position;
}

std::string LinkText(const OstrelPortConfigEx& port) {
    switch (port.linkType) {
    case linkSerial:
        return Lang::Format(Text(IDS_PORT_LINK_BAUD).c_str(), static_cast<long>(port.baudRate));
    case linkUsb:
        return Text(IDS_PORT_LINK_USB);
    case linkNetwork:
        return Lang::Format("%s/%lu[%s]", Lang::FromBstr(port.host).c_str(),
                            static_cast<unsigned long>(port.networkPort),
                            Lang::FromBstr(port.linkQualifier).c_str());
    default:
        return Text(IDS_UNKNOWN_MARK);
    }
}

bool StateShowsLink(short stateCode) {
    // A port that is gone, switched off or still waiting has no link worth showing.
    return stateCode != portNotAvailable && stateCode != portDisabled && stateCode != portWaiting;
}

std::string LinkColumnText(const OstrelPortConfigEx& port) {
    return StateShowsLink(static_cast<short>(port.portState)) ? LinkText(port) : Text(IDS_NOT_APPLICABLE);
}

std::string StateText(short stateCode) {
    return Text(PortStateTextId(stateCode));
}

PortImage PortStateImage(short stateCode) {
    switch (stateCode) {
    case portNotAvailable:
    case portDisabled:
        return portImageUnavailable;
    case portPending:
        return portImagePending;
    default:
        return portImageUsable;
    }
}

std::string PhoneText(HRESULT phoneStatus, const OstrelPhoneInfo& phone) {
    if (FAILED(phoneStatus))
        return Text(phone.platformDevice ? IDS_PORT_PHONE_PLATFORM_DEVICE : IDS_NOT_APPLICABLE);
    // A phone being loaded has no identity to show yet.
    if (IsDownloadMode(phone.mode)) {
        const UINT modeId =
            phone.mode == phoneZelkorDownload ? IDS_PORT_PHONE_ZELKOR_DOWNLOAD : IDS_PORT_PHONE_DOWNLOAD;
        return Lang::Format("%s (%s)", Text(IDS_PORT_PHONE_DOWNLOAD_MODEL).c_str(), Text(modeId).c_str());
    }
    const std::string model = Lang::FromBstr(phone.modelText);
    unsigned long esn = 0;
    if (ReadEsn(phone.esn, esn))
        return Lang::Format("%s (%lX)", model.empty() ? Text(IDS_UNKNOWN_MARK).c_str() : model.c_str(), esn);
    if (model.empty())
        return Text(IDS_PORT_PHONE_NO_PHONE);
    return Lang::Format("%s (%s)", model.c_str(), Text(IDS_PORT_PHONE_UNREADABLE_ESN).c_str());
}

bool NeedsZelkorProgress(const OstrelPhoneInfo& phone) {
    return phone.mode == phoneZelkorDownload;
}

std::unique_ptr<CPortItem> BuildPortItem(const OstrelPortConfigEx& port, HRESULT phoneStatus,
                                         const OstrelPhoneInfo& phone) {
    auto item = std::make_unique<CPortItem>();
    item->portId = port.portId;
    item->portName = Lang::FromBstr(port.portName);
    item->linkType = port.linkType;
    item->host = Lang::FromBstr(port.host);
    item->networkPort = port.networkPort;
    item->linkQualifier = Lang::FromBstr(port.linkQualifier);
    item->stateCode = static_cast<short>(port.portState);
    item->stateText = StateText(item->stateCode);
    item->linkText = LinkColumnText(port);
    item->phoneText = PhoneText(phoneStatus, phone);
    item->label = Lang::FromBstr(port.label);
    item->SetID(item->portId);
    return item;
}

const std::string& LabelColumnText(const CPortItem& item) {
    return item.label.empty() ? item.portName : item.label;
}

long PortSortKey(int column, bool descending) {
    const long key = column + 1;
    return descending ? -key : key;
}

int ComparePortNames(std::string_view name1, std::string_view name2) {
    if (IsComName(name1) && IsComName(name2))
        return Order(ComNumber(name1), ComNumber(name2));
    return CompareTexts(name1, name2);
}

int ComparePortItems(const CPortItem* item1, const CPortItem* item2, long sortKey) {
    // Descending is ascending with the two rows changed over.
    if (sortKey < 0)
        std::swap(item1, item2);
    if (!item1 || !item2)
        return 0;
    const unsigned long field = sortKey < 0 ? 0ul - static_cast<unsigned long>(sortKey) : sortKey;
    switch (field) {
    case portColumnPort + 1:
        return ComparePortNames(item1->portName, item2->portName);
    case portColumnState + 1:
        return Order(item1->stateCode, item2->stateCode);
    case portColumnLabel + 1:
        return CompareTexts(LabelColumnText(*item1), LabelColumnText(*item2));
    case portColumnPhone + 1:
        return CompareTexts(item1->phoneText, item2->phoneText);
    case portColumnLink + 1:
        return CompareTexts(item1->linkText, item2->linkText);
    default:
        return 0;
    }
}

int ComparePortRows(const CPortItemList& items, LPARAM rowValue1, LPARAM rowValue2, long sortKey) {
    return ComparePortItems(items.Find(static_cast<long>(rowValue1)).item,
                            items.Find(static_cast<long>(rowValue2)).item, sortKey);
}
