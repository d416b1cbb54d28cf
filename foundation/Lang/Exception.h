#pragma once

#include <exception>
#include <string>

namespace Lang {

// The module's own exception: a message for the user or the log, and a context naming
// where it was raised. Derived classes may fill the message lazily in what().
class Exception : public std::exception {
public:
    Exception(std::string message, std::string context);
    ~Exception() override;

    const char* what() const noexcept override;
    virtual void SetMessage(const std::string& message);
    virtual void SetContext(const std::string& context);
    virtual const std::string& GetContext() const;

protected:
    mutable std::string m_message;
    std::string m_context;
};

} // namespace Lang
