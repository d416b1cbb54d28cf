#pragma once

#include "lists/Item.h"
#include "lists/ListViewHelper.h"
#include "server/OstrelServer.h"

#include <climits>
#include <memory>
#include <unordered_map>
#include <utility>

// The rows of one list view and the items behind them, for a row item that answers
// ColumnText(column) and Image(), compared for a header click by Compare. A change never edits a
// row: the row goes and is built again from fresh records.
template <class Item, int (*Compare)(const Item* item1, const Item* item2, int column)>
class ListRows {
public:
    ListRows() = default;
    ListRows(const ListRows&) = delete;
    ListRows& operator=(const ListRows&) = delete;

    // The list the rows live in (none: every operation does nothing) and the agent they are
    // read from (none: nothing loads).
    void SetList(CListViewHelper* helper) { m_helper = helper; }
    void SetAgent(IOstrelConfigAgent* agent) { m_agent = agent; }

    void RemoveAll() {
        if (HasList())
            m_helper->List().DeleteAllItems();
        m_items.Clear();
    }

    // The item behind a row, or null.
    Item* ItemOfRow(int row) const {
        if (!HasList() || row < 0)
            return nullptr;
        return m_items.Find(static_cast<long>(m_helper->RowKey(row))).item;
    }
    const CItemList<Item>& Items() const { return m_items; }

    // Rows that compare equal keep the order they had, whichever way the sort goes.
    void Sort(int column, bool descending) {
        if (!HasList())
            return;
        SortContext context{{}, column, descending};
        const Fw::ListView& list = m_helper->List();
        for (int row = 0, count = list.GetItemCount(); row < count; ++row) {
            const LPARAM key = m_helper->RowKey(row);
            context.rows[key] = {m_items.Find(static_cast<long>(key)).item, row};
        }
        list.SortItems(&CompareRows, reinterpret_cast<LPARAM>(&context));
    }

protected:
    bool HasList() const { return m_helper && m_helper->List().Exists(); }

    // The item's row at `position` clamped to the row count (-1: at the end), with its texts in
    // columns 0 to columnCount - 1 and its picture. The item is kept only with its row, so that
    // a lookup never finds what the list does not show; the answer is null without one.
    Item* InsertRow(std::unique_ptr<Item> made, int position, int columnCount) {
        const Fw::ListView& list = m_helper->List();
        // The list view puts a row asked for beyond its last one at the end.
        const int index = position < 0 ? INT_MAX : position;
        Item* item = m_items.Add(std::move(made));
        const int row = list.InsertItem(index, item->ColumnText(0).c_str(), item->GetID(), item->Image());
        if (row < 0) {
            m_items.Remove(item->GetID());
            return nullptr;
        }
        for (int column = 1; column < columnCount; ++column)
            list.SetItemText(row, column, item->ColumnText(column).c_str());
        return item;
    }

    // The row of `key` and its item gone; the row's index, or -1 when it had none.
    int RemoveRow(long key) {
        const int index = m_helper->FindRow(key);
        if (index >= 0)
            m_helper->List().DeleteItem(index);
        m_items.Remove(key);
        return index;
    }

    CListViewHelper* m_helper = nullptr;
    IOstrelConfigAgent* m_agent = nullptr;
    CItemList<Item> m_items;

private:
    struct SortContext {
        std::unordered_map<LPARAM, std::pair<const Item*, int>> rows; // item and row before the sort
        int column;
        bool descending;
    };

    static int CALLBACK CompareRows(LPARAM key1, LPARAM key2, LPARAM data) {
        const auto* sort = reinterpret_cast<const SortContext*>(data);
        const auto& [item1, row1] = sort->rows.at(key1);
        const auto& [item2, row2] = sort->rows.at(key2);
        const int order = sort->descending ? Compare(item2, item1, sort->column) : Compare(item1, item2, sort->column);
        return order != 0 ? order : row1 - row2;
    }
};
