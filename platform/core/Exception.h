#pragma once
// The error types every layer throws. `Exception` carries a user-readable message;
// `EAbort` is the silent abort that event loops swallow without showing anything.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }
    // The class name as the error's owner would print it ("EConvertError").
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string message_;
};

// Declares a named error type derived from BASE with the given class name.
#define VELMORA_DECLARE_EXCEPTION(NAME, BASE)                                      \
    class NAME : public BASE {                                                     \
    public:                                                                        \
        using BASE::BASE;                                                          \
        const char* ClassName() const noexcept override { return #NAME; }          \
    }

VELMORA_DECLARE_EXCEPTION(EAbort, Exception);
VELMORA_DECLARE_EXCEPTION(EConvertError, Exception);
VELMORA_DECLARE_EXCEPTION(EVariantError, Exception);
VELMORA_DECLARE_EXCEPTION(EOleError, Exception);
VELMORA_DECLARE_EXCEPTION(EFileError, Exception);

// Raises the silent abort.
[[noreturn]] inline void Abort() { throw EAbort("Operation aborted"); }
