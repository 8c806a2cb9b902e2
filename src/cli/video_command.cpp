#include "cli/video_command.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include <QFile>
#include <QImage>

#include "cli/render_command.h"
#include "export/video_writer.h"

namespace keelrun {
namespace {

// "frame 120/900  84 frames/s  9 s left", rewritten in place.
void showProgress(int done, int total, double seconds)
{
    const double rate = seconds > 0 ? done / seconds : 0;
    const int left = rate > 0 ? static_cast<int>(std::lround((total - done) / rate)) : 0;
    std::fprintf(stderr, "\rframe %d/%d  %.0f frames/s  %d s left   ", done, total, rate, left);
    std::fflush(stderr);
}

}  // namespace

int videoFrameCount(double from, double to, double speed, int fps)
{
    if (!(to > from) || speed <= 0 || fps <= 0)
        return 1;
    return static_cast<int>(std::floor((to - from) * fps / speed + 1e-9)) + 1;
}

int runVideo(const CommandLine &command, const QString &executableDir, const std::atomic<bool> &stop)
{
    RaceState race;
    if (!loadCommandRace(command, executableDir, race))
        return kExitError;
    const double from = command.videoFrom.value_or(race.windowStart), to = command.videoTo.value_or(race.windowEnd);
    const int total = videoFrameCount(from, to, command.videoSpeed, command.videoFps);

    // Written under a scratch name beside the file and renamed into place
    // when whole, so that a failure leaves nothing half-written under it.
    const QString scratch = command.output + QStringLiteral(".part");
    QString error;
    auto video = VideoWriter::open(scratch, videoKindFor(command.output), command.size, command.videoFps, error);
    if (!video) {
        QFile::remove(scratch);
        printError(error);
        return kExitError;
    }
    QImage bitmap(video->size(), QImage::Format_RGB32);
    FrameState frame = newFrameState(race);
    const auto started = std::chrono::steady_clock::now();
    int done = 0;
    for (; done < total && !stop; ++done) {
        drawTrackPicture(bitmap, race, command, from + done * command.videoSpeed / command.videoFps, frame);
        if (!video->write(bitmap.constBits(), static_cast<int>(bitmap.bytesPerLine()), error))
            break;
        if (done % 30 == 29)
            showProgress(done + 1, total, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
    if (error.isEmpty())
        video->finish(error);
    video.reset();
    std::fprintf(stderr, "\n");
    std::error_code renamed;
    if (error.isEmpty())
        std::filesystem::rename(scratch.toStdString(), command.output.toStdString(), renamed);
    if (!error.isEmpty() || renamed) {
        QFile::remove(scratch);
        printError(QStringLiteral("%1: %2").arg(command.output, error.isEmpty() ? QString::fromStdString(renamed.message()) : error));
        return kExitError;
    }
    if (done < total)
        printError(QStringLiteral("stopped after %1 of %2 frames; %3 holds them").arg(done).arg(total).arg(command.output));
    std::printf("%s\n", qPrintable(command.output));
    return 0;
}

}  // namespace keelrun
