#pragma once
// The engine's exceptions. They carry narrow (system code page) messages.
#include <string>

namespace Orvex::Exception {

class OxException {
public:
    explicit OxException(std::string message) : message_(std::move(message)) {}
    virtual ~OxException() = default;
    virtual std::string getMessage() const { return message_; }

private:
    std::string message_;
};

class OxRuntimeException : public OxException {
public:
    explicit OxRuntimeException(const std::string& detail);
    std::string getMessage() const override { return detail_; }

private:
    std::string detail_;
};

class OxInterruptedException : public OxException {
public:
    explicit OxInterruptedException(std::string message) : OxException(std::move(message)) {}
    std::string getMessage() const override { return "OxInterruptedException 例外"; }
};

class OxIllegalMonitorStateException : public OxException {
public:
    explicit OxIllegalMonitorStateException(std::string message) : OxException(std::move(message)) {}
    std::string getMessage() const override { return "OxIllegalMonitorStateException 例外"; }
};

// The base message the thread code gives its exceptions.
inline constexpr const char* kExceptionBaseMessage = "例外発生";

}  // namespace Orvex::Exception
