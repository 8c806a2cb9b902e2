#include "app/video_export.h"

#include <cmath>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>

#include "cli/video_command.h"
#include "export/video_writer.h"

namespace keelrun {
namespace {

QSpinBox *secondsBox(double value)
{
    auto *box = new QSpinBox;
    box->setRange(-1000000, 1000000);
    box->setValue(static_cast<int>(std::lround(value)));
    box->setSuffix(QStringLiteral(" s"));
    return box;
}

}  // namespace

VideoExportDialog::VideoExportDialog(QWidget *parent, const QString &file, double from, double to) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Keelrun"));
    auto *form = new QFormLayout(this);
    file_ = new QLineEdit(file);
    file_->setMinimumWidth(360);
    auto *choose = new QPushButton(QStringLiteral("..."));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(file_);
    fileRow->addWidget(choose);
    connect(choose, &QPushButton::clicked, this, [this] {
        auto *dialog = new QFileDialog(this, QStringLiteral("Keelrun"), file_->text(), QStringLiteral("Video (*.mp4 *.webm *.mkv)"));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QFileDialog::fileSelected, file_, &QLineEdit::setText);
        dialog->open();
    });
    from_ = secondsBox(from);
    to_ = secondsBox(to);
    speed_ = new QSpinBox;
    speed_->setRange(1, 1500);
    speed_->setValue(30);
    speed_->setSuffix(QStringLiteral(" x"));
    form->addRow(QStringLiteral("File"), fileRow);
    form->addRow(QStringLiteral("From (race clock)"), from_);
    form->addRow(QStringLiteral("To (race clock)"), to_);
    form->addRow(QStringLiteral("Speed"), speed_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    problem_ = new QLabel;
    problem_->setObjectName(QStringLiteral("videoProblem"));
    form->addRow(problem_);
    form->addRow(buttons);
    // OK only for a video the program can write: a name it knows, an end after the start.
    const auto check = [this, ok = buttons->button(QDialogButtonBox::Ok)] {
        QString problem;
        if (!videoKindFor(file_->text()))
            problem = QStringLiteral("Name the video %1.").arg(QLatin1String(kVideoNames));
        else if (to_->value() <= from_->value())
            problem = QStringLiteral("The end must come after the start.");
        problem_->setText(problem);
        ok->setEnabled(problem.isEmpty());
    };
    connect(file_, &QLineEdit::textChanged, this, check);
    connect(from_, &QSpinBox::valueChanged, this, check);
    connect(to_, &QSpinBox::valueChanged, this, check);
    check();
}

QString VideoExportDialog::file() const { return file_->text(); }
double VideoExportDialog::from() const { return from_->value(); }
double VideoExportDialog::to() const { return to_->value(); }
double VideoExportDialog::speed() const { return speed_->value(); }

VideoExport::VideoExport(const RaceState &race, const CommandLine &command, QWidget *parent)
    : QObject(parent), race_(std::make_shared<const RaceState>(race)), command_(command)
{
    const int frames = videoFrameCount(command.videoFrom->raceClock(race), command.videoTo->raceClock(race), command.videoSpeed, command.videoFps);
    progress_ = new QProgressDialog(QStringLiteral("Writing %1").arg(QFileInfo(command.output).fileName()),
                                    QStringLiteral("Cancel"), 0, frames, parent);
    progress_->setObjectName(QStringLiteral("videoProgress"));
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(0);
    progress_->setAttribute(Qt::WA_DeleteOnClose);
    connect(progress_, &QProgressDialog::canceled, this, [stop = stop_] { *stop = true; });
}

VideoExport::~VideoExport()
{
    if (worker_) {  // the window closes while the video is written
        *stop_ = true;
        worker_->wait();
    }
    if (progress_)
        progress_->close();
}

void VideoExport::start()
{
    const QPointer<QProgressDialog> shown = progress_;
    worker_ = QThread::create([race = race_, command = command_, stop = stop_, shown, this] {
        const VideoResult result = writeVideo(*race, command, [shown](int done, int) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), [shown, done] {
                if (shown)
                    shown->setValue(done);
            }, Qt::QueuedConnection);
        }, *stop);
        error_ = result.error;  // read on the window's thread once the worker has finished
    });
    connect(worker_, &QThread::finished, this, &VideoExport::workerDone);
    worker_->start();
}

void VideoExport::workerDone()
{
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    if (progress_)
        progress_->close();
    emit finished(error_);
    deleteLater();
}

}  // namespace keelrun
