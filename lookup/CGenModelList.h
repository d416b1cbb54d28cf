#pragma once

#include <memory>
#include <string>
#include <vector>

struct ModelEntry {
    long id;
    const char* name;
};
// Family tables are searched as packed 8-byte records on the 32-bit build.
static_assert(sizeof(void*) != 4 || sizeof(ModelEntry) == 8);

// One generic model family: a name such as "TRV22*" (the '*' is part of the name) and a table of models in
// strictly ascending id order. The order of the virtual members fixes the vtable layout; do not reorder.
class CGenModelList {
public:
    explicit CGenModelList(const char* genericName);
    CGenModelList(const CGenModelList&) = delete;
    CGenModelList& operator=(const CGenModelList&) = delete;

    virtual const ModelEntry* Table() const = 0;
    virtual int Count() const = 0;
    virtual ~CGenModelList();
    // nullptr when index < 0 or index >= Count().
    virtual const ModelEntry* At(int index) const;

    const std::string& GenericName() const { return m_genericName; }
    // Binary search by id; nullptr when the family does not hold modelId.
    const ModelEntry* Find(long modelId) const;

private:
    std::string m_genericName;
};

// Every built-in family, in the order of ModelFamilies.txt.
std::vector<std::unique_ptr<CGenModelList>> CreateModelFamilies();
