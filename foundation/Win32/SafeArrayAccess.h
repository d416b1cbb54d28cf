#pragma once

#include "foundation/Com/Failure.h"

#include <oleauto.h>

#include <algorithm>
#include <span>

namespace Win32 {

// The elements of a one-dimensional SAFEARRAY, locked for the life of this object.
// A null array reads as empty; a failed lock raises a failure object.
template <class T>
class SafeArrayAccess {
public:
    explicit SafeArrayAccess(SAFEARRAY* array)
        : m_array(array) {
        if (!m_array)
            return;
        if (::SafeArrayGetDim(m_array) != 1 || ::SafeArrayGetElemsize(m_array) != sizeof(T))
            Com::Throw(E_INVALIDARG);
        void* data = nullptr;
        Com::ThrowIfFailed(::SafeArrayAccessData(m_array, &data));
        m_items = {static_cast<T*>(data), m_array->rgsabound[0].cElements};
    }
    SafeArrayAccess(const SafeArrayAccess&) = delete;
    SafeArrayAccess& operator=(const SafeArrayAccess&) = delete;
    ~SafeArrayAccess() {
        if (m_items.data())
            ::SafeArrayUnaccessData(m_array);
    }

    std::span<T> Items() const { return m_items; }
    // The first `count` items, for a server's array that comes with a count of its own: fewer
    // when the array is shorter, none for a negative count.
    std::span<T> First(long count) const {
        return m_items.first(count <= 0 ? 0 : std::min(static_cast<size_t>(count), m_items.size()));
    }

private:
    SAFEARRAY* m_array;
    std::span<T> m_items;
};

} // namespace Win32
