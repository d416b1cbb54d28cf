#pragma once

#include "foundation/Com/Failure.h"
#include "framework/controls/Persistence.h"

#include <array>
#include <cstddef>

namespace Fw {

// One line of a control's property table, after ATL's property map: the name and DISPID the
// property is saved under, and the slot the class's accessors keep its value in (a member
// pointer, a column, whatever the class needs). One table then serves the persistence and
// every get/put pair of the same shape.
template <class Slot>
struct PropertyEntry {
    const char* name;
    DISPID id;
    Slot slot;
};

// The persisted-property list of a table, in its order:
//     static constexpr auto properties = Fw::PersistedProperties(flags);
template <class Slot, size_t N>
constexpr std::array<PersistedProperty, N> PersistedProperties(const PropertyEntry<Slot> (&table)[N]) {
    std::array<PersistedProperty, N> properties{};
    for (size_t index = 0; index < N; ++index)
        properties[index] = {table[index].name, table[index].id};
    return properties;
}

// The line of a DISPID; one that is not in the table raises DISP_E_MEMBERNOTFOUND.
template <class Slot, size_t N>
const PropertyEntry<Slot>& FindProperty(const PropertyEntry<Slot> (&table)[N], DISPID id) {
    for (const auto& entry : table)
        if (entry.id == id)
            return entry;
    Com::Throw(DISP_E_MEMBERNOTFOUND);
}

} // namespace Fw
