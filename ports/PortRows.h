#pragma once

#include "foundation/Mem/SharedPointer.h"
#include "ports/PortItem.h"
#include "ports/PortRowRules.h"
#include "ports/ZelkorProgress.h"
#include "server/OstrelServer.h"

#include <windows.h>

#include <functional>
#include <map>

class CListViewHelper;

// The port id a server event names for all of its ports. RefreshPort takes it, and the
// refreshAllItems a view posts to itself, as a reload of every row.
constexpr long allPortsId = -1;

// The rows of one port list and the items behind them, built from the server's records.
// A change never edits a row: the row of that port is dropped and built again from fresh
// records at the same place.
class CPortRows {
public:
    using ProgressMap = std::map<short, Mem::SharedPointer<ZelkorProgress>>;

    CPortRows() = default;
    CPortRows(const CPortRows&) = delete;
    CPortRows& operator=(const CPortRows&) = delete;

    // The list the rows live in (none: every operation does nothing) and the agent they are
    // read from (none: FillList loads nothing).
    void SetList(CListViewHelper* helper) { m_helper = helper; }
    void SetAgent(IOstrelConfigAgent* agent) { m_agent = agent; }
    void SetDisplayMask(unsigned long mask) { m_displayMask = mask; }
    unsigned long DisplayMask() const { return m_displayMask; }
    // Called before rows go, with the port id (allPortsId for every row): whatever shows a
    // row's item elsewhere lets go of it first.
    void OnRowsLeaving(std::function<void(long portId)> leaving) { m_leaving = std::move(leaving); }

    void AddPortRow(const OstrelPortConfigEx& port, RowPlacement placement, int position);
    // The index the port's row had, or -1 when it had none.
    int RemovePortRow(long portId);
    void RemoveAllRows();
    // The port's row built again at its place; allPortsId and refreshAllItems rebuild every row.
    void RefreshPort(long portId);
    // Every row dropped and the list filled again.
    void RefreshAll();
    void FillList();

    // A boot-protocol progress event (codes 16 to 22; others do nothing) shown at once: the
    // port's Phone cell reads the transfer's stage and its bar moves. The item keeps its phone
    // text, so the next rebuild of the row shows the phone again; a port without a row or
    // without a bar skips that part.
    void ShowTransferProgress(long code, short portId, short value);

    // Every transfer bar back onto its row's State cell, in port id order; after a column
    // drag each is repainted at once.
    void PlaceProgressBars(bool redraw);
    // The list sorted by a header's sort key (PortSortKey), the bars following their rows.
    void Sort(long sortKey);

    const CPortItemList& Items() const { return m_items; }
    const ProgressMap& Progress() const { return m_progress; }
    // The item behind a row, or null when it is gone. Commands edit its label.
    CPortItem* ItemOfRow(int row) const;

private:
    HWND ListWindow() const;

    CListViewHelper* m_helper = nullptr;
    IOstrelConfigAgent* m_agent = nullptr;
    unsigned long m_displayMask = 0xFFFFFFFFul;
    CPortItemList m_items;
    ProgressMap m_progress;
    std::function<void(long)> m_leaving;
};
