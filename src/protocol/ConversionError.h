#pragma once
// The error that a failed text-to-number conversion raises. Handlers let it
// pass; every entry point from Qt catches it and shows its message.
#include <QString>
#include <exception>

class ConversionError : public std::exception {
public:
    explicit ConversionError(QString message) : FMessage(std::move(message)) {}
    const QString &Message() const noexcept { return FMessage; }
    const char *what() const noexcept override { return "conversion error"; }

    // "'<text>' is not a valid integer value."
    static ConversionError Integer(const QString &text);
    // "'<text>' is not a valid floating point value."
    static ConversionError FloatingPoint(const QString &text);

private:
    QString FMessage;
};
