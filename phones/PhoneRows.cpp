#include "phones/PhoneRows.h"

#include "foundation/Com/Failure.h"
#include "foundation/ServerCodes.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "lists/ListViewHelper.h"
#include "lists/RedrawOff.h"
#include "server/OwnedRecord.h"

#include <comdef.h>

namespace {

// The object type of phones in the server's object ids.
constexpr long phoneObjects = 2;

struct SortContext {
    const CPhoneItemList* items;
    int column;
    bool descending;
};

int CALLBACK CompareRows(LPARAM row1, LPARAM row2, LPARAM context) {
    const auto* sort = reinterpret_cast<const SortContext*>(context);
    const CPhoneItem* item1 = sort->items->Find(static_cast<long>(row1)).item;
    const CPhoneItem* item2 = sort->items->Find(static_cast<long>(row2)).item;
    return sort->descending ? ComparePhoneItems(item2, item1, sort->column)
                            : ComparePhoneItems(item1, item2, sort->column);
}

} // namespace

bool CPhoneRows::HasList() const {
    return m_helper && m_helper->List().Exists();
}

CPhoneItem* CPhoneRows::ItemOfRow(int row) const {
    if (!HasList() || row < 0)
        return nullptr;
    return m_items.Find(static_cast<long>(m_helper->RowKey(row))).item;
}

void CPhoneRows::AddRow(const OstrelPhoneInfo& phone, const OstrelModelEx& model, int position) {
    Server::OwnedRecord<OstrelPortInfo> port;
    if (FAILED(m_agent->GetPortInfo(phone.portId, port.put())) || port->portState != portEnabled)
        return;
    const Fw::ListView& list = m_helper->List();
    const int count = list.GetItemCount();
    const int index = position < 0 || position > count ? count : position;
    CPhoneItem* item = m_items.Add(std::make_unique<CPhoneItem>(phone, Lang::FromBstr(port->portName),
                                                                Lang::FromBstr(port->label), model));
    const int row = list.InsertItem(index, item->modelText.c_str(), item->GetID(), item->Image());
    if (row < 0) {
        // No row, no item: lookups by port must not find a phone the list does not show.
        m_items.Remove(item->GetID());
        return;
    }
    for (int column = phoneColumnEsn; column < phoneColumnCount; ++column)
        list.SetItemText(row, column, item->ColumnText(column).c_str());
}

void CPhoneRows::LoadAll() {
    if (!HasList() || !m_agent)
        return;
    const Fw::ListView list = m_helper->List();
    const RedrawOff quiet(list);
    try {
        const auto agentEx = Com::Query<IOstrelConfigAgentEx>(m_agent);
        short count = 0;
        Win32::UniqueSafeArray ids;
        Com::Call(m_agent, &IOstrelConfigAgent::GetObjectIds, phoneObjects, &count, ids.put());
        const Win32::SafeArrayAccess<short> access(ids.get());
        bool anyRead = false;
        // The count is what the server vouches for; an array may be longer.
        for (const short id : access.First(count)) {
            Server::OwnedRecord<OstrelPhoneInfo> phone;
            if (FAILED(m_agent->GetPhoneInfo(id, phone.put())))
                continue;
            anyRead = true;
            OstrelModelEx model = {};
            if (agentEx)
                agentEx->GetPhoneModel(id, &model);
            AddRow(*phone, model, -1);
        }
        if (anyRead)
            list.SelectItem(0);
    } catch (const _com_error&) {
        // A server that stops answering leaves the list with what it had read.
    }
}

CPhoneItem* CPhoneRows::ReloadPort(long portId) {
    if (!HasList())
        return nullptr;
    const Fw::ListView list = m_helper->List();
    const RedrawOff quiet(list);
    const int index = m_helper->FindRow(portId);
    if (index >= 0)
        list.DeleteItem(index);
    m_items.Remove(portId);
    if (!m_agent)
        return nullptr;
    try {
        Server::OwnedRecord<OstrelPhoneInfo> phone;
        if (FAILED(m_agent->GetPortPhoneInfo(static_cast<short>(portId), phone.put())))
            return nullptr;
        OstrelModelEx model = {};
        if (const auto agentEx = Com::Query<IOstrelConfigAgentEx>(m_agent))
            agentEx->GetPortPhoneModel(static_cast<short>(portId), &model);
        AddRow(*phone, model, index);
    } catch (const _com_error&) {
        return nullptr;
    }
    return m_items.Find(portId).item;
}

void CPhoneRows::RemoveAll() {
    if (HasList())
        m_helper->List().DeleteAllItems();
    m_items.Clear();
}

void CPhoneRows::Sort(int column, bool descending) {
    if (!HasList())
        return;
    SortContext context{&m_items, column, descending};
    m_helper->List().SortItems(&CompareRows, reinterpret_cast<LPARAM>(&context));
}
