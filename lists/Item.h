#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

// The base of every list row's item. The key is also the value stored with the list-view
// row, so that a row leads back to its item. The slots keep this order: destructor, SetID,
// GetID.
class CItem {
public:
    CItem() = default;
    CItem(const CItem&) = delete;
    CItem& operator=(const CItem&) = delete;
    virtual ~CItem() = default;

    virtual long SetID(long lID) {
        m_id = lID;
        return m_id;
    }
    virtual long GetID() const { return m_id; }

private:
    long m_id = 0;
};

// The items behind one list's rows, owned and kept in the order they were added.
template <class T>
class CItemList {
    static_assert(std::is_base_of_v<CItem, T>, "a list holds row items");

public:
    // What a search by key gives: no item and position -1 when nothing has the key.
    struct Found {
        T* item = nullptr;
        long position = -1;
    };

    CItemList() = default;
    CItemList(const CItemList&) = delete;
    CItemList& operator=(const CItemList&) = delete;
    ~CItemList() { Clear(); }

    T* Add(std::unique_ptr<T> item) {
        m_items.push_back(std::move(item));
        return m_items.back().get();
    }

    // Searched from the newest: a row rebuilt before its old item went wins over the old one.
    Found Find(long key) const {
        for (size_t index = m_items.size(); index-- > 0;) {
            if (m_items[index]->GetID() == key)
                return {m_items[index].get(), static_cast<long>(index)};
        }
        return {};
    }

    // Destroys the item Find names; false when there is none.
    bool Remove(long key) {
        const Found found = Find(key);
        if (!found.item)
            return false;
        std::unique_ptr<T> doomed = std::move(m_items[static_cast<size_t>(found.position)]);
        m_items.erase(m_items.begin() + found.position);
        return true;
    }

    // Newest first, the reverse of how they came.
    void Clear() {
        while (!m_items.empty())
            m_items.pop_back();
    }

    size_t Count() const { return m_items.size(); }
    T* At(size_t index) const { return m_items.at(index).get(); }

private:
    std::vector<std::unique_ptr<T>> m_items;
};
