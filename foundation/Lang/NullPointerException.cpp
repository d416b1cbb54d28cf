#include "foundation/Lang/NullPointerException.h"

#include "foundation/Lang/Trace.h"

namespace Lang {

NullPointerException::NullPointerException(const std::string& typeName, std::string location)
    : Exception("NULL " + typeName + " pointer", std::move(location)) {}

void ThrowNullPointer(const std::string& typeName, const std::string& location) {
    Trace("%s%s", location.c_str(), ": Throwing Lang::NullPointerException(typeid(_PT))\r\n");
    throw NullPointerException(typeName, location);
}

} // namespace Lang
