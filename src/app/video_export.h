#pragma once
// The window's video of the replay: a dialog for the file and the stretch of
// the race, then the video written on a worker thread beside a progress
// dialog that can cancel it. Nothing waits for it: the replay, the timers
// and the clicks go on, and the export says when it is done.

#include <atomic>
#include <memory>

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

#include "cli/command_line.h"
#include "model/race_state.h"

class QLabel;
class QLineEdit;
class QProgressDialog;
class QSpinBox;
class QThread;

namespace keelrun {

// The file, the stretch of the race clock and the speed a video is asked for with.
class VideoExportDialog : public QDialog {
    Q_OBJECT
public:
    VideoExportDialog(QWidget *parent, const QString &file, double from, double to);
    QString file() const;
    double from() const;
    double to() const;
    double speed() const;

private:
    QLineEdit *file_ = nullptr;
    QSpinBox *from_ = nullptr, *to_ = nullptr, *speed_ = nullptr;
    QLabel *problem_ = nullptr;  // why OK is off
};

// One video being written from a copy of the race. It deletes itself once
// `finished` has been sent.
class VideoExport : public QObject {
    Q_OBJECT
public:
    // `command` says what to draw (output, stretch, speed, size, orientation,
    // zoom, lay lines); the progress dialog is shown over `parent`.
    VideoExport(const RaceState &race, const CommandLine &command, QWidget *parent);
    ~VideoExport() override;
    void start();

signals:
    // Empty when the video was written (or cancelled, keeping what was
    // done), else why it could not be.
    void finished(const QString &error);

private:
    void workerDone();

    std::shared_ptr<const RaceState> race_;  // the replay goes on with its own
    CommandLine command_;
    std::shared_ptr<std::atomic<bool>> stop_ = std::make_shared<std::atomic<bool>>(false);
    QPointer<QProgressDialog> progress_;
    QThread *worker_ = nullptr;
    QString error_;
};

}  // namespace keelrun
