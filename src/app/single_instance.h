#pragma once
// One Keelrun window per user: a lock file in the runtime folder marks the
// running program, and a local socket lets a second start hand it what it
// was asked to show and ask it to come to the front.

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
        AnotherRuns,  // the running one has been handed the request
        Unguarded,    // the lock could not be taken (see problem()): run without the guard
    };
    // `request` goes to the running program when there is one: the data
    // folder and the race to show, or nothing for only coming to the front.
    Claim claim(const QStringList &request = {});
    QString problem() const { return problem_; }

signals:
    // A second start's request, as it gave it to claim().
    void requested(const QStringList &request);

private:
    QString name_;
    QLockFile lock_;
    QString problem_;
    QLocalServer server_;
};

}  // namespace keelrun
