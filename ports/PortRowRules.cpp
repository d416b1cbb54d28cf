#include "ports/PortRowRules.h"

#include "foundation/Lang/Text.h"
#include "foundation/StateVocabulary.h"
#include "framework/com/Module.h"
#include "lists/RowOrder.h"
#include "resources/resource.h"
#include "server/PhoneEsn.h"

#include <utility>

namespace {

std::string Text(UINT id) {
    return Fw::Module::Current().String(id);
}

} // namespace

const ListColumn portListColumns[portColumnCount] = {
    {IDS_PORT_COLUMN_PORT, IDS_PORT_COLUMN_PORT_WIDTH},
    {IDS_PORT_COLUMN_STATE, IDS_PORT_COLUMN_STATE_WIDTH},
    {IDS_PORT_COLUMN_LABEL, IDS_PORT_COLUMN_LABEL_WIDTH},
    {IDS_PORT_COLUMN_PHONE, IDS_PORT_COLUMN_PHONE_WIDTH},
    {IDS_PORT_COLUMN_LINK, IDS_PORT_COLUMN_LINK_WIDTH},
};

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
    if (Server::ParseEsn(phone.esn, esn))
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
