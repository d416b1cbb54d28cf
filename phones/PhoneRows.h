#pragma once

#include "phones/PhoneItem.h"
#include "server/OstrelServer.h"

class CListViewHelper;

// The rows of one phone list and the items behind them, built from the server's records: one
// row per phone on a port in state 2. A change never edits a row: the row of that port is
// dropped and built again from fresh records at the same place.
class CPhoneRows {
public:
    CPhoneRows() = default;
    CPhoneRows(const CPhoneRows&) = delete;
    CPhoneRows& operator=(const CPhoneRows&) = delete;

    // The list the rows live in (none: every operation does nothing) and the agent they are
    // read from (none: nothing loads).
    void SetList(CListViewHelper* helper) { m_helper = helper; }
    void SetAgent(IOstrelConfigAgent* agent) { m_agent = agent; }

    // Every phone the server lists, in its order; the first row selected.
    void LoadAll();
    // The port's row built again at its place (at the end when it had none); the new item, or
    // null when the port has no phone row any more.
    CPhoneItem* ReloadPort(long portId);
    void RemoveAll();
    void Sort(int column, bool descending);

    const CPhoneItemList& Items() const { return m_items; }
    // The item behind a row, or null.
    CPhoneItem* ItemOfRow(int row) const;

private:
    // A row for the phone when its port is in state 2, at `position` clamped to the row count
    // (-1: at the end).
    void AddRow(const OstrelPhoneInfo& phone, const OstrelModelEx& model, int position);
    bool HasList() const;

    CListViewHelper* m_helper = nullptr;
    IOstrelConfigAgent* m_agent = nullptr;
    CPhoneItemList m_items;
};
