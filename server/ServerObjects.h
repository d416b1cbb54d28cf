#pragma once

#include "server/OstrelServer.h"

#include <vector>

// The kinds of object the server counts (OstrelObjectInfo::objectType), one bit each, so that
// GetObjectIds is asked by a mask of them.
namespace ObjectType {
constexpr long port = 1;
constexpr long phone = 2;
constexpr long agent = 8;
constexpr long client = 0x20;
} // namespace ObjectType

// The ids of every object of the mask's kinds, in the server's order: as many as the count the
// server answers vouches for, however long its array is. A failed call or a malformed array
// raises a failure object.
std::vector<short> ObjectIds(IOstrelConfigAgent* agent, long typeMask);
