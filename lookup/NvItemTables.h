#pragma once

#include <cstddef>

// Name tables behind KmNvTools, generated at build time from NvItems.txt, NvIndexedItems.txt and
// NvStatuses.txt.
namespace Lookup {

struct NvItemEntry {
    const char* name;
    long item;
};

// Includes the end marker NV_MAX_I, which is never returned by a lookup.
inline constexpr long nvItemCount = 7234;
inline constexpr std::size_t nvIndexedItemCount = 110;
inline constexpr std::size_t nvStatusCount = 11;

// Indexed by item number: g_nvItemNames[n].item == n.
extern const NvItemEntry g_nvItemNames[nvItemCount];
// Ascending, so a membership test can binary-search.
extern const long g_nvIndexedItems[nvIndexedItemCount];
// Indexed by status number.
extern const char* const g_nvStatusNames[nvStatusCount];

} // namespace Lookup
