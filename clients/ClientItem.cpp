#include "clients/ClientItem.h"

#include "foundation/Lang/Text.h"
#include "framework/com/Module.h"
#include "lists/RowOrder.h"
#include "resources/resource.h"

namespace {

// The record's text, or the string table's placeholder when it is empty.
std::string TextOr(BSTR text, UINT placeholderId) {
    std::string value = Lang::FromBstr(text);
    return value.empty() ? Fw::Module::Current().String(placeholderId) : value;
}

} // namespace

CClientItem::CClientItem(const OstrelClientInfo& client)
    : name(TextOr(client.clientName, IDS_CLIENT_NO_NAME)),
      machine(TextOr(client.machineName, IDS_CLIENT_NO_MACHINE)),
      version(TextOr(client.version, IDS_CLIENT_UNKNOWN)),
      startTime(TextOr(client.startTime, IDS_CLIENT_UNKNOWN)),
      processId(client.processId),
      processIdText(Lang::Format("%ld", static_cast<long>(client.processId))) {
    SetID(client.clientId);
}

const std::string& CClientItem::ColumnText(int column) const {
    switch (column) {
    case clientColumnMachine:
        return machine;
    case clientColumnStartTime:
        return startTime;
    case clientColumnProcessId:
        return processIdText;
    default:
        return name;
    }
}

int CompareClientItems(const CClientItem* item1, const CClientItem* item2, int column) {
    if (!item1 || !item2)
        return 0;
    switch (column) {
    case clientColumnName:
        return CompareTexts(item1->name, item2->name);
    case clientColumnMachine:
        return CompareTexts(item1->machine, item2->machine);
    default:
        return 0;
    }
}
