#pragma once
// The platform's exception classes. Every error the platform raises derives
// from Exception, so that handlers can tell them from anything else.

#include "platform/core/AnsiString.h"

#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : message_(std::move(message)) {}
    const AnsiString& Message() const { return message_; }
    void SetMessage(const AnsiString& message) { message_ = message; }
    const char* what() const noexcept override { return message_.c_str(); }
    virtual const char* ClassName() const { return "Exception"; }

private:
    AnsiString message_;
};

#define QUOR_DECLARE_EXCEPTION(Name, Base)                                                         \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
        const char* ClassName() const override { return #Name; }                                   \
    }

QUOR_DECLARE_EXCEPTION(ERangeError, Exception);
QUOR_DECLARE_EXCEPTION(EConvertError, Exception);
QUOR_DECLARE_EXCEPTION(EDatabaseError, Exception);
QUOR_DECLARE_EXCEPTION(EInOutError, Exception);
// Raised by Abort(): a silent exception that the application's handler does not show.
QUOR_DECLARE_EXCEPTION(EAbort, Exception);

[[noreturn]] void Abort();
