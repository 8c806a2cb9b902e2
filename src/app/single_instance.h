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
    // The lock and the socket live in `folder`, by default the user's
    // runtime folder.
    explicit SingleInstance(const QString &name, const QString &folder = {}, QObject *parent = nullptr);

    enum Claim {
        Claimed,      // this is the only running program
        AnotherRuns,  // the running one has been asked to raise its window
        Unguarded,    // the lock could not be taken (see problem()): run without the guard
    };
    Claim claim();
    QString problem() const { return problem_; }

signals:
    void raiseRequested();

private:
    QString name_;
    QLockFile lock_;
    QString problem_;
    QLocalServer server_;
};

}  // namespace keelrun
