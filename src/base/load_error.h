#pragma once

#include <stdexcept>

#include <QString>

namespace keelrun {

// A data file that cannot be read: the message names the file, the line (or
// byte offset) and the offending text. Loading stops; the program goes on.
class LoadError : public std::runtime_error {
public:
    explicit LoadError(const QString &message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &message() const { return message_; }

private:
    QString message_;
};

}  // namespace keelrun
