#pragma once

#include "lists/Item.h"
#include "server/OstrelServer.h"

#include <memory>
#include <string>

// The columns of a phone list, in the order they are created. A hidden column keeps its place
// with width 0.
enum PhoneListColumn : int {
    phoneColumnPhone,
    phoneColumnEsn,
    phoneColumnNumber,
    phoneColumnBanner,
    phoneColumnPort,
    phoneColumnCount
};

// The picture of a phone row in both strips: a base by form factor, the next index the same
// phone with a padlock, and the no-entry sign of a phone the user may not use.
enum PhoneImage : int {
    phoneImageFlip = 0,
    phoneImageBar = 2,
    phoneImageGeneric = 4,
    phoneImageHandset = 6,
    phoneImageDesktopModem = 8,
    phoneImageBoard = 10,
    phoneImageNoEntry = 12,
    phoneImageCount = 13
};

// One phone row of a phone list, seen on one port. Built once from the server's records and
// never edited: a change throws the row away and builds it again. Texts are 8-bit in the system
// code page, as the list view shows and sorts them.
class CPhoneItem : public CItem {
public:
    // Cannot fail: a record without a field shows that field's placeholder text.
    CPhoneItem(const OstrelPhoneInfo& phone, const std::string& portName, const std::string& portLabel,
               const OstrelModelEx& model);
    ~CPhoneItem() override;

    const std::string& ColumnText(int column) const;
    int Image() const;
    bool InDownloadMode() const;

    long portId = 0;
    std::string phoneName;
    unsigned long esn = 0;
    std::string esnText;
    std::string phoneNumber;
    std::string analogMin;
    std::string banner;
    std::string portLabel;
    std::string portText;
    long modelNumber = 0;
    std::string modelText;
    std::string buildVersion;
    std::string compiled;
    std::string released;
    std::string stateText;
    std::string phoneStateText;
    std::string stationClassMark;
    std::string slotCycleIndex;
    std::string majorMinor;
    std::string protocolRevision;
    std::string chipText;
    long mode = 0;
    long locked = 0;
    bool authorized = true;
    bool platformDevice = false;
    long formFactor = 0;
};

// Each phone list keeps the items of its own rows.
using CPhoneItemList = CItemList<CPhoneItem>;

// The order of two rows under a header click on `column` (< 0, 0, > 0): the column's texts
// without regard to case, port texts by their COM numbers. A missing item compares equal.
int ComparePhoneItems(const CPhoneItem* item1, const CPhoneItem* item2, int column);
