#include "ports/PortRows.h"

#include "foundation/Com/Failure.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"
#include "lists/ListViewHelper.h"
#include "lists/RedrawOff.h"
#include "server/OwnedRecord.h"
#include "server/ServerEventRoute.h"

#include <comdef.h>
#include <wrl/client.h>

namespace {

struct SortContext {
    const CPortItemList* items;
    long key;
};

int CALLBACK CompareRows(LPARAM row1, LPARAM row2, LPARAM context) {
    const auto* sort = reinterpret_cast<const SortContext*>(context);
    return ComparePortRows(*sort->items, row1, row2, sort->key);
}

} // namespace

HWND CPortRows::ListWindow() const {
    return m_helper && m_helper->List().Exists() ? m_helper->List().Handle() : nullptr;
}

CPortItem* CPortRows::ItemOfRow(int row) const {
    if (!ListWindow() || row < 0)
        return nullptr;
    return m_items.Find(static_cast<long>(m_helper->RowKey(row))).item;
}

void CPortRows::AddPortRow(const OstrelPortConfigEx& port, RowPlacement placement, int position) {
    if (!ListWindow() || !IsPortShown(port, m_displayMask))
        return;
    const Fw::ListView& list = m_helper->List();
    const int index = RowIndexForPlacement(placement, list.GetItemCount(), position);

    // A port without a phone still gets its row; the record then only says whether a
    // platform device sits there.
    Server::OwnedRecord<OstrelPhoneInfo> phone;
    const HRESULT phoneStatus = m_agent ? m_agent->GetPortPhoneInfo(port.portId, phone.put()) : E_POINTER;

    CPortItem* item = m_items.Add(BuildPortItem(port, phoneStatus, *phone));
    const int row =
        list.InsertItem(index, item->portName.c_str(), item->GetID(), PortStateImage(item->stateCode));
    if (row < 0) {
        // No row, no item: lookups by id must not find a port the list does not show.
        m_items.Remove(item->portId);
        return;
    }
    list.SetItemText(row, portColumnState, item->stateText.c_str());
    list.SetItemText(row, portColumnLabel, LabelColumnText(*item).c_str());
    list.SetItemText(row, portColumnPhone, item->phoneText.c_str());
    list.SetItemText(row, portColumnLink, item->linkText.c_str());

    const short portId = static_cast<short>(item->portId);
    // The record is read whatever the query answered.
    if (NeedsZelkorProgress(*phone)) {
        // A port already in the map keeps the bar it has: one bar per port.
        const auto [entry, added] = m_progress.try_emplace(portId);
        if (added) {
            entry->second = Mem::SharedPointer<ZelkorProgress>(new ZelkorProgress);
            entry->second->Create(list.Handle(), row, zelkorProgressColumn, zelkorProgressLow,
                                  zelkorProgressHigh, zelkorProgressStart);
        }
    } else {
        m_progress.erase(portId);
    }
}

int CPortRows::RemovePortRow(long portId) {
    if (!ListWindow())
        return -1;
    if (m_leaving)
        m_leaving(portId);
    m_progress.erase(static_cast<short>(portId));
    const int row = m_helper->FindRow(portId);
    if (row >= 0)
        m_helper->List().DeleteItem(row);
    m_items.Remove(portId);
    return row;
}

void CPortRows::RemoveAllRows() {
    if (!ListWindow())
        return;
    if (m_leaving)
        m_leaving(allPortsId);
    m_progress.clear();
    m_helper->List().DeleteAllItems();
    m_items.Clear();
}

void CPortRows::RefreshAll() {
    RemoveAllRows();
    FillList();
}

void CPortRows::RefreshPort(long portId) {
    if (!ListWindow())
        return;
    if (portId == allPortsId || portId == refreshAllItems) {
        RefreshAll();
        return;
    }
    const Fw::ListView list = m_helper->List();
    const RedrawOff quiet(list);
    const int index = RemovePortRow(portId);
    try {
        const auto agentEx = Com::Query<IOstrelConfigAgentEx>(m_agent);
        Server::OwnedRecord<OstrelPortConfigEx> port;
        if (agentEx && SUCCEEDED(agentEx->GetPortConfigEx(static_cast<short>(portId), port.put())))
            AddPortRow(*port, index < 0 ? RowPlacement::Last : RowPlacement::At, index);
    } catch (const _com_error&) {
        // No agent, or one that cannot be asked: the port stays without a row.
    }
    // A port that had no row has no place to keep; its new row, if any, is selected instead.
    const int selected = index >= 0 ? index : m_helper->FindRow(portId);
    if (selected >= 0)
        list.SelectItem(selected);
    PlaceProgressBars(false);
}

void CPortRows::FillList() {
    if (!ListWindow() || !m_agent)
        return;
    const Fw::ListView list = m_helper->List();
    {
        const RedrawOff quiet(list);
        try {
            const auto agentEx = Com::Query<IOstrelConfigAgentEx>(m_agent);
            short count = 0;
            Win32::UniqueSafeArray ids;
            Com::Call(m_agent, &IOstrelConfigAgent::GetPortIds, &count, ids.put());
            const Win32::SafeArrayAccess<short> access(ids.get());
            // The count is what the server vouches for; an array may be longer.
            for (const short id : access.First(count)) {
                Server::OwnedRecord<OstrelPortConfigEx> port;
                // A port that cannot be read is left out, without a word.
                if (agentEx && SUCCEEDED(agentEx->GetPortConfigEx(id, port.put())))
                    AddPortRow(*port, RowPlacement::Last, 0);
            }
        } catch (const _com_error&) {
            // A server that stops answering leaves the list with what it had read.
        }
        list.SelectItem(0);
    }
    PlaceProgressBars(false);
}

void CPortRows::ShowTransferProgress(long code, short portId, short value) {
    const std::optional<ZelkorTransferStep> step = ZelkorTransferStepOf(code, value);
    if (!step || !ListWindow())
        return;
    const int row = m_helper->FindRow(portId);
    if (row >= 0)
        m_helper->List().SetItemText(row, portColumnPhone,
                                     Fw::Module::Current().String(step->phoneTextId).c_str());
    if (const auto entry = m_progress.find(portId); entry != m_progress.end() && entry->second)
        entry->second->SetPos(step->position);
}

void CPortRows::PlaceProgressBars(bool redraw) {
    if (!ListWindow())
        return;
    for (const auto& [portId, bar] : m_progress) {
        const int row = m_helper->FindRow(portId);
        if (row < 0 || !bar)
            continue;
        bar->Move(m_helper->List().Handle(), row, zelkorProgressColumn);
        if (redraw)
            bar->Redraw();
    }
}

void CPortRows::Sort(long sortKey) {
    if (!ListWindow())
        return;
    SortContext context{&m_items, sortKey};
    m_helper->List().SortItems(&CompareRows, reinterpret_cast<LPARAM>(&context));
    PlaceProgressBars(false);
}
