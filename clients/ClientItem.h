#pragma once

#include "lists/Item.h"
#include "server/OstrelServer.h"

#include <string>

// The columns of a client list, in the order they are created; all of them are shown.
enum ClientListColumn : int {
    clientColumnName,
    clientColumnMachine,
    clientColumnStartTime,
    clientColumnProcessId,
    clientColumnCount
};

// The picture every client row shows in both strips: a handset with a person.
constexpr int clientImage = 2;

// One client application of the server, as a row of the client list. Built once from the
// server's record, keyed by the client id; a change throws it away. Texts are 8-bit in the
// system code page, with the string table's placeholders for empty ones.
class CClientItem : public CItem {
public:
    explicit CClientItem(const OstrelClientInfo& client);

    const std::string& ColumnText(int column) const;
    int Image() const { return clientImage; }

    std::string name;
    std::string machine;
    std::string version;
    std::string startTime;
    long processId = 0;
    std::string processIdText;
};

using CClientItemList = CItemList<CClientItem>;

// A header click's order: names and machines as texts in any case; start times and process ids
// are never told apart, so those columns keep the rows as they are.
int CompareClientItems(const CClientItem* item1, const CClientItem* item2, int column);
