#pragma once

#include "lists/ListColumns.h"
#include "lists/RowOrder.h"
#include "ports/PortItem.h"
#include "server/OstrelServer.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

// The rules behind a port list's rows, as plain functions of the server's records. The list
// control only inserts what they give; every text comes from the module's string table.

// The columns of a port list, in the order they are created. A hidden column keeps its place
// with width 0.
enum PortListColumn : int {
    portColumnPort,
    portColumnState,
    portColumnLabel,
    portColumnPhone,
    portColumnLink,
    portColumnCount
};

extern const ListColumn portListColumns[portColumnCount];

// Icons of the port rows in both image lists (the 16x16 and the 32x32 strip).
enum PortImage : int {
    portImageUsable = 1,
    portImageUnavailable = 3,
    portImagePending = 4,
};

// The boot-protocol transfer bar that a phone in Zelkor download mode gets over its row's
// State column, and where it starts.
constexpr int zelkorProgressColumn = portColumnState;
constexpr int zelkorProgressLow = 1;
constexpr int zelkorProgressHigh = 1000;
constexpr int zelkorProgressStart = 250;

// Whether the control's display mask lets the port have a row at all.
bool IsPortShown(const OstrelPortConfigEx& port, unsigned long displayMask);

// Where a new row goes: first, after the last one, or at a given index.
enum class RowPlacement { First = 0, Last = 1, At = 2 };
int RowIndexForPlacement(RowPlacement placement, int rowCount, int position);

// The link as its type describes it: "38400 baud", "USB", "host/2500[qualifier]", "?".
std::string LinkText(const OstrelPortConfigEx& port);
// Whether the Link column shows the link in this state, or "N/A".
bool StateShowsLink(short stateCode);
std::string LinkColumnText(const OstrelPortConfigEx& port);

std::string StateText(short stateCode);
PortImage PortStateImage(short stateCode);

// The Phone column from the phone query's status and the record it filled. The record is read
// even after a failed query: its platform-device flag tells "TPB" from "N/A".
std::string PhoneText(HRESULT phoneStatus, const OstrelPhoneInfo& phone);
// Whether the row gets the transfer bar: the record says Zelkor download mode.
bool NeedsZelkorProgress(const OstrelPhoneInfo& phone);

// The whole item of one port row, keyed by its port id.
std::unique_ptr<CPortItem> BuildPortItem(const OstrelPortConfigEx& port, HRESULT phoneStatus,
                                         const OstrelPhoneInfo& phone);

// The Label column: the label, or the port name when there is none.
const std::string& LabelColumnText(const CPortItem& item);

// The sort key of a header click: the column's index + 1, negative for descending.
long PortSortKey(int column, bool descending);
// The order of two rows' items under a sort key (< 0, 0, > 0). A missing item, a key naming
// no column and equal fields compare equal.
int ComparePortItems(const CPortItem* item1, const CPortItem* item2, long sortKey);
// The same for two rows' values, as the list view hands them to its sort callback.
int ComparePortRows(const CPortItemList& items, LPARAM rowValue1, LPARAM rowValue2, long sortKey);
