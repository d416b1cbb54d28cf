#pragma once

#include "foundation/Lang/NullPointerException.h"
#include "foundation/Lang/Text.h"

#include <memory>

namespace Mem {

// A reference-counted pointer that refuses to be dereferenced while empty: instead of a
// crash inside a host process, the access raises Lang::NullPointerException naming the
// pointee type and the place of the access.
template <class T>
class SharedPointer {
    std::shared_ptr<T> m_object;

public:
    SharedPointer() = default;
    explicit SharedPointer(T* object)
        : m_object(object) {}

    explicit operator bool() const { return m_object != nullptr; }
    T* get() const { return m_object.get(); }
    long useCount() const { return m_object.use_count(); }
    void reset() { m_object.reset(); }

    T& operator*() const { return *operator->(); }

    // Log readers match on the location text of an empty access, so it names the header as
    // the support library has always printed it, not this file's path in the build tree.
    // Nothing follows in this file: the #line below renumbers everything after it.
    // clang-format off
#line 114 "Mem/SharedPointer"
    T* operator->() const { if (!m_object) Lang::ThrowNullPointer(Lang::TypeName<T>(), Lang::Format("%s(%d) : Mem::SharedPointer<%s>::operator ->", __FILE__, __LINE__, Lang::TypeName<T>().c_str())); return m_object.get(); }
};
} // namespace Mem
