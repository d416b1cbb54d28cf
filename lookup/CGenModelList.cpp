#include "lookup/CGenModelList.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Ids are ordered by their signed 32-bit difference; computing it in unsigned arithmetic gives the same
// wrap-around the ordering was defined with, without signed-overflow undefined behaviour for extreme keys.
int compareModelIds(const void* key, const void* entry) {
    const auto keyId = static_cast<std::uint32_t>(static_cast<const ModelEntry*>(key)->id);
    const auto entryId = static_cast<std::uint32_t>(static_cast<const ModelEntry*>(entry)->id);
    return static_cast<std::int32_t>(keyId - entryId);
}

} // namespace

CGenModelList::CGenModelList(const char* genericName)
    : m_genericName(genericName ? genericName : "") {}

CGenModelList::~CGenModelList() = default;

const ModelEntry* CGenModelList::At(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return Table() + index;
}

const ModelEntry* CGenModelList::Find(long modelId) const {
    const int count = Count();
    if (count <= 0)
        return nullptr;
    const ModelEntry key{modelId, nullptr};
    return static_cast<const ModelEntry*>(
        std::bsearch(&key, Table(), static_cast<std::size_t>(count), sizeof(ModelEntry), compareModelIds));
}
