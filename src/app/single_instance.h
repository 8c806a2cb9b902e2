#pragma once
// One Keelrun window per user: a lock file in the runtime folder marks the
// running program, and a local socket lets a second start ask it to come to
// the front.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

namespace keelrun {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);

    // True when this is the only running program; otherwise the running one
    // has been asked to raise its window.
    bool claim();

signals:
    void raiseRequested();

private:
    QString name_;
    QLockFile lock_;
    QLocalServer server_;
};

}  // namespace keelrun
