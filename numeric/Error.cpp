#include "Error.h"

#include <dlfcn.h>

Error::Error(QString message, const char* typeName)
    : message_(std::move(message)), utf8_(message_.toUtf8()), typeName_(typeName)
{
    // Where the error was raised, as an offset into its module, for the start-up box.
    void* caller = __builtin_return_address(0);
    Dl_info info{};
    if (dladdr(caller, &info) != 0 && info.dli_fbase != nullptr)
        address_ = reinterpret_cast<std::uintptr_t>(caller) - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    else
        address_ = reinterpret_cast<std::uintptr_t>(caller);
}

void RaiseInvalidOperation()
{
    throw Error(QStringLiteral("Invalid floating point operation"), "EInvalidOp");
}

void RaiseDivisionByZero()
{
    throw Error(QStringLiteral("Floating point division by zero"), "EZeroDivide");
}

void RaiseOverflow()
{
    throw Error(QStringLiteral("Floating point overflow"), "EOverflow");
}

Error InvalidFloatValue(const QString& text)
{
    return Error(QStringLiteral("'%1' is not a valid floating point value").arg(text), "EConvertError");
}

Error InvalidIntegerValue(const QString& text)
{
    return Error(QStringLiteral("'%1' is not a valid integer value").arg(text), "EConvertError");
}
