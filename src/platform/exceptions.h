#pragma once
// The exception family that the program's failures travel in. Every class
// carries its own class name (the start-up report prints it) and the address
// from which it was raised (the report prints that relative to the module).
//
// Raise with Raise(Class(args...)): the raise address is then the return
// address of that call, inside the raising function, as the report expects.

#include <QString>
#include <exception>

namespace zolvu {

class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), what_(message_.toUtf8()) {}

    const QString& Message() const noexcept { return message_; }
    virtual const char* ClassName() const noexcept { return "Exception"; }
    const char* what() const noexcept override { return what_.constData(); }

    // The code address the exception was raised from; null when unknown.
    const void* RaiseAddress() const noexcept { return raiseAddress_; }
    void SetRaiseAddress(const void* address) noexcept { raiseAddress_ = address; }

private:
    QString message_;
    QByteArray what_;
    const void* raiseAddress_ = nullptr;
};

// A silent exception: the handler guard swallows it without a dialog.
class EAbort : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EAbort"; }
};

// A failing operating-system call, with the system's error code.
class EOSError : public Exception {
public:
    EOSError(QString message, int errorCode) : Exception(std::move(message)), errorCode_(errorCode) {}
    const char* ClassName() const noexcept override { return "EOSError"; }
    int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

// A file that exists but cannot be opened.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EFOpenError"; }
};

// A processor fault caught inside a guarded foreign call.
class EExternalFault : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EExternalFault"; }
};

// Not inlined, so that its return address lies in the function that raises.
template <class E>
[[noreturn, gnu::noinline]] void Raise(E error) {
    error.SetRaiseAddress(__builtin_extract_return_addr(__builtin_return_address(0)));
    throw error;
}

}  // namespace zolvu
