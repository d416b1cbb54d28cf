#include "foundation/Lang/Exception.h"

namespace Lang {

Exception::Exception(std::string message, std::string context)
    : m_context(std::move(context)) {
    SetMessage(message);
}

Exception::~Exception() = default;

const char* Exception::what() const noexcept {
    return m_message.c_str();
}

void Exception::SetMessage(const std::string& message) {
    // An empty message would print as nothing in a log line; say so instead.
    m_message = message.empty() ? "(null message)" : message;
}

void Exception::SetContext(const std::string& context) {
    m_context = context;
}

const std::string& Exception::GetContext() const {
    return m_context;
}

} // namespace Lang
