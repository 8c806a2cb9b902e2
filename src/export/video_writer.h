#pragma once
// A video file written frame by frame with FFmpeg's libraries: H.264 in MP4,
// or VP9 in WebM when the file name ends in ".webm". Frames are 32-bit
// pixels (0xffRRGGBB in memory order B, G, R, A), as a QImage of
// Format_RGB32 holds them. FFmpeg lives in a module of its own
// (keelrun-video.so, next to the program or in its library folder), loaded
// the first time a video is opened; without it these functions say so.

#include <memory>
#include <optional>

#include <QByteArray>
#include <QSize>
#include <QString>

namespace keelrun {

enum class VideoKind { Mp4, WebM, Matroska };
// The kind a file name asks for: ".mp4" (H.264), ".webm" (VP9), ".mkv"
// (H.264 in Matroska); nothing for any other name.
std::optional<VideoKind> videoKindFor(const QString &fileName);
// What a refused name is told.
inline constexpr const char *kVideoNames = ".mp4, .webm or .mkv";

class VideoWriter {
public:
    // Opens `path` for frames of `size` (made even: the encoders need it)
    // at `fps` frames a second. Nothing, with the reason in `error`, when it
    // cannot.
    static std::unique_ptr<VideoWriter> open(const QString &path, VideoKind kind, QSize size, int fps, QString &error);
    virtual ~VideoWriter() = default;

    virtual QSize size() const = 0;
    // One frame: `size` pixels, `stride` bytes a row. False, with the reason,
    // when it could not be encoded or written.
    virtual bool write(const unsigned char *pixels, int stride, QString &error) = 0;
    // Flushes the encoder and closes the file, which is then playable.
    virtual bool finish(QString &error) = 0;
};

// What a video file holds, read back with the same libraries.
struct VideoFacts {
    QSize size;
    double fps = 0;
    int frames = 0;
    QString codec;
};
bool readVideoFacts(const QString &path, VideoFacts &facts, QString &error);

// Frame `index` (from 0) decoded to 32-bit pixels as `write` takes them,
// `size.width() * 4` bytes a row.
bool readVideoFrame(const QString &path, int index, QByteArray &pixels, QSize &size, QString &error);

}  // namespace keelrun
