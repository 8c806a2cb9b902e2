#pragma once
// What the video module offers Keelrun: the FFmpeg side of video files,
// behind the functions of video_writer.h. The module exports one C function,
// keelrunVideoCodec, that returns this table.

#include "export/video_writer.h"

namespace keelrun {

struct VideoCodec {
    std::unique_ptr<VideoWriter> (*open)(const QString &path, VideoKind kind, QSize size, int fps, QString &error);
    bool (*readFacts)(const QString &path, VideoFacts &facts, QString &error);
    bool (*readFrame)(const QString &path, int index, QByteArray &pixels, QSize &size, QString &error);
};

using VideoCodecEntry = const VideoCodec *(*)();

}  // namespace keelrun
