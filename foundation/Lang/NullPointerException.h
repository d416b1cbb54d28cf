#pragma once

#include "foundation/Lang/Exception.h"

#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <type_traits>
#include <typeinfo>

namespace Lang {

// Raised when an empty shared pointer of the support library is dereferenced.
class NullPointerException : public Exception {
public:
    NullPointerException(const std::string& typeName, std::string location);
};

// Writes the trace line that names the access, then throws.
[[noreturn]] void ThrowNullPointer(const std::string& typeName, const std::string& location);

// The readable name of a type, as the module prints it in traces ("class ZelkorProgress").
template <class T>
std::string TypeName() {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(typeid(T).name(), nullptr, nullptr, &status), &std::free);
    const std::string plain = status == 0 && name ? name.get() : typeid(T).name();
    return std::is_class_v<T> ? "class " + plain : plain;
}

} // namespace Lang
