#pragma once
// A file that cannot be created or written; reported like a conversion error.
#include <QString>
#include <exception>

class FileError : public std::exception {
public:
    explicit FileError(QString message) : FMessage(std::move(message)) {}
    const QString &Message() const noexcept { return FMessage; }
    const char *what() const noexcept override { return "file error"; }

private:
    QString FMessage;
};
