#include "export/video_writer.h"

#include <QFileInfo>

#include <QCoreApplication>

#include "base/program_module.h"
#include "export/video_codec.h"

namespace keelrun {
namespace {

struct LoadedCodec {
    const VideoCodec *codec = nullptr;
    QString problem;
};

LoadedCodec loadVideoCodec()
{
    QString problem;
    const auto entry = reinterpret_cast<VideoCodecEntry>(
        loadProgramModule(QCoreApplication::applicationDirPath(), QStringLiteral("keelrun-video.so"), "keelrunVideoCodec", problem));
    if (entry)
        return {entry(), {}};
    return {nullptr, QStringLiteral("the video module keelrun-video.so is missing or broken (%1)").arg(problem)};
}

const VideoCodec *videoCodec(QString &error)
{
    static const LoadedCodec loaded = loadVideoCodec();
    if (!loaded.codec)
        error = loaded.problem;
    return loaded.codec;
}

}  // namespace

std::optional<VideoKind> videoKindFor(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("mp4"))
        return VideoKind::Mp4;
    if (suffix == QLatin1String("webm"))
        return VideoKind::WebM;
    if (suffix == QLatin1String("mkv"))
        return VideoKind::Matroska;
    return std::nullopt;
}

std::unique_ptr<VideoWriter> VideoWriter::open(const QString &path, VideoKind kind, QSize size, int fps, QString &error)
{
    const VideoCodec *codec = videoCodec(error);
    return codec ? codec->open(path, kind, size, fps, error) : nullptr;
}

bool readVideoFacts(const QString &path, VideoFacts &facts, QString &error)
{
    const VideoCodec *codec = videoCodec(error);
    return codec && codec->readFacts(path, facts, error);
}

bool readVideoFrame(const QString &path, int index, QByteArray &pixels, QSize &size, QString &error)
{
    const VideoCodec *codec = videoCodec(error);
    return codec && codec->readFrame(path, index, pixels, size, error);
}

}  // namespace keelrun
