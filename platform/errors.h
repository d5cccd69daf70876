#pragma once
// Runtime failures of the program. Each carries the name of its class (what the error box and the
// command-line tool report) and its message with the placeholders already filled in. A command that
// meets one ends there; the window's default handler shows the message.

#include <stdexcept>
#include <string>

namespace qm {

class Error : public std::runtime_error {
public:
    Error(std::string className, const std::string &message)
        : std::runtime_error(message), mClassName(std::move(className)) {}
    const std::string &className() const { return mClassName; }

private:
    std::string mClassName;
};

// A file operation failed; the message is the system's text for it.
class EInOutError : public Error {
public:
    EInOutError(const std::string &message, int code) : Error("EInOutError", message), mCode(code) {}
    int errorCode() const { return mCode; }

private:
    int mCode;
};

// A text that should be a number is not one.
class EConvertError : public Error {
public:
    explicit EConvertError(const std::string &message) : Error("EConvertError", message) {}
};

// Fills the placeholders %s and %d of a message, in order, with the given texts.
std::string formatMessage(const std::string &pattern, std::initializer_list<std::string> values);

} // namespace qm
