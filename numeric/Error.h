#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <exception>

// A failure: an error object carrying a message. It is thrown where the failure happens
// and caught in one place per event handler, which shows it in the error box.
class Error : public std::exception {
public:
    // typeName names the kind of failure (shown only by the start-up "Application Error" box).
    explicit Error(QString message, const char* typeName = "Exception");

    const QString& message() const noexcept { return message_; }
    const char* typeName() const noexcept { return typeName_; }
    // Code address that raised the error, relative to the load address of its module.
    std::uintptr_t address() const noexcept { return address_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
    const char* typeName_;
    std::uintptr_t address_ = 0;
};

// The messages of the arithmetic and conversion failures.
[[noreturn]] void RaiseInvalidOperation();
[[noreturn]] void RaiseDivisionByZero();
[[noreturn]] void RaiseOverflow();
Error InvalidFloatValue(const QString& text);   // "'%s' is not a valid floating point value"
Error InvalidIntegerValue(const QString& text); // "'%s' is not a valid integer value"
