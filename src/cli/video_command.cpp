#include "cli/video_command.h"

#include <chrono>
#include <csignal>
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

VideoResult writeVideo(const RaceState &race, const CommandLine &command, const std::function<void(int, int)> &progress,
                       const std::atomic<bool> &stop, DrawFrame draw)
{
    VideoResult result;
    const double from = command.videoFrom ? command.videoFrom->raceClock(race) : race.windowStart;
    const double to = command.videoTo ? command.videoTo->raceClock(race) : race.windowEnd;
    if (!(to > from)) {
        result.error = QStringLiteral("%1: the video would end (%2 s on the race clock) before it starts (%3 s)")
                           .arg(command.output).arg(to).arg(from);
        return result;
    }
    const std::optional<VideoKind> kind = videoKindFor(command.output);
    if (!kind) {
        result.error = QStringLiteral("%1: name the video %2").arg(command.output, QLatin1String(kVideoNames));
        return result;
    }
    result.total = videoFrameCount(from, to, command.videoSpeed, command.videoFps);
    const QString scratch = command.output + QStringLiteral(".part");
    auto video = VideoWriter::open(scratch, *kind, command.size, command.videoFps, result.error);
    if (video) {
        QImage bitmap(video->size(), QImage::Format_RGB32);
        FrameState frame = newFrameState(race);
        const MapPictures pictures = trackPictures(race, command);
        if (!draw)
            draw = [&](QImage &picture, double t) { drawTrackPicture(picture, race, command, t, pictures, frame); };
        for (; result.frames < result.total && !stop; ++result.frames) {
            draw(bitmap, from + result.frames * command.videoSpeed / command.videoFps);
            if (!video->write(bitmap.constBits(), static_cast<int>(bitmap.bytesPerLine()), result.error))
                break;
            if (progress)
                progress(result.frames + 1, result.total);
        }
        if (result.error.isEmpty())
            video->finish(result.error);
        video.reset();
    }
    std::error_code renamed;
    if (result.error.isEmpty())
        std::filesystem::rename(scratch.toStdString(), command.output.toStdString(), renamed);
    if (renamed)
        result.error = QString::fromStdString(renamed.message());
    if (!result.error.isEmpty()) {
        QFile::remove(scratch);
        result.error = QStringLiteral("%1: %2").arg(command.output, result.error);
    }
    return result;
}

int runVideo(const CommandLine &command, const QString &executableDir, const std::atomic<bool> &stop)
{
    RaceState race;
    if (!loadCommandRace(command, executableDir, race))
        return kExitError;
    return reportVideo(race, command, stop);
}

int reportVideo(const RaceState &race, const CommandLine &command, const std::atomic<bool> &stop, DrawFrame draw)
{
    const auto started = std::chrono::steady_clock::now();
    const VideoResult result = writeVideo(race, command, [&](int done, int total) {
        if (done % 30 == 0 || done == total)
            showProgress(done, total, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }, stop, std::move(draw));
    std::fprintf(stderr, "\n");
    if (!result.error.isEmpty()) {
        printError(result.error);
        return kExitError;
    }
    if (result.frames < result.total)
        printError(QStringLiteral("stopped after %1 of %2 frames; %3 holds them").arg(result.frames).arg(result.total).arg(command.output));
    std::printf("%s\n", qPrintable(command.output));
    return 0;
}

const std::atomic<bool> &stopOnInterrupt()
{
    static std::atomic<bool> interrupted{false};
    std::signal(SIGINT, [](int) { interrupted = true; });
    return interrupted;
}

}  // namespace keelrun
