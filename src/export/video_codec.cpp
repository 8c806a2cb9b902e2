// The FFmpeg side of video files. It is built as a module of its own, which
// Keelrun loads only when a video is written or read: FFmpeg's libraries and
// the hundred more they pull in would otherwise be loaded at every start.

#include "export/video_codec.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace keelrun {
namespace {

QString avError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

struct Codec {
    AVFormatContext *format = nullptr;
    AVCodecContext *encoder = nullptr;
    AVStream *stream = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    SwsContext *convert = nullptr;
    std::int64_t next = 0;

    ~Codec()
    {
        sws_freeContext(convert);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&encoder);
        if (format && !(format->oformat->flags & AVFMT_NOFILE))
            avio_closep(&format->pb);
        avformat_free_context(format);
    }

    // Sends a frame (or, with none, the end) and writes what comes out.
    bool encode(AVFrame *input, QString &error)
    {
        int code = avcodec_send_frame(encoder, input);
        if (code < 0) {
            error = QStringLiteral("encoding: %1").arg(avError(code));
            return false;
        }
        while ((code = avcodec_receive_packet(encoder, packet)) == 0) {
            av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
            packet->stream_index = stream->index;
            code = av_interleaved_write_frame(format, packet);
            if (code < 0) {
                error = QStringLiteral("writing: %1").arg(avError(code));
                return false;
            }
        }
        return code == AVERROR(EAGAIN) || code == AVERROR_EOF;
    }
};

class FfmpegWriter final : public VideoWriter {
public:
    explicit FfmpegWriter(std::unique_ptr<Codec> codec) : codec_(std::move(codec)) {}
    QSize size() const override;
    bool write(const unsigned char *pixels, int stride, QString &error) override;
    bool finish(QString &error) override;

private:
    std::unique_ptr<Codec> codec_;
};

std::unique_ptr<VideoWriter> openWriter(const QString &path, VideoKind kind, QSize size, int fps, QString &error)
{
    av_log_set_level(AV_LOG_ERROR);  // the encoders' statistics are not for the user
    auto c = std::make_unique<Codec>();
    const QByteArray file = path.toLocal8Bit();
    const bool webm = kind == VideoKind::WebM;
    const char *container = webm ? "webm" : kind == VideoKind::Matroska ? "matroska" : "mp4";
    int code = avformat_alloc_output_context2(&c->format, nullptr, container, file.constData());
    if (code < 0 || !c->format) {
        error = QStringLiteral("no container for %1: %2").arg(path, avError(code));
        return nullptr;
    }
    const AVCodec *codec = avcodec_find_encoder(webm ? AV_CODEC_ID_VP9 : AV_CODEC_ID_H264);
    if (!codec) {
        error = QStringLiteral("no %1 encoder in this FFmpeg").arg(webm ? QStringLiteral("VP9") : QStringLiteral("H.264"));
        return nullptr;
    }
    c->stream = avformat_new_stream(c->format, nullptr);
    c->encoder = avcodec_alloc_context3(codec);
    c->frame = av_frame_alloc();
    c->packet = av_packet_alloc();
    if (!c->stream || !c->encoder || !c->frame || !c->packet) {
        error = QStringLiteral("out of memory");
        return nullptr;
    }
    AVCodecContext *e = c->encoder;
    e->width = size.width() / 2 * 2;
    e->height = size.height() / 2 * 2;
    e->time_base = {1, fps};
    e->framerate = {fps, 1};
    e->pix_fmt = AV_PIX_FMT_YUV420P;
    e->gop_size = 2 * fps;
    e->thread_count = 0;  // as many as the machine has
    if (webm) {
        av_opt_set(e->priv_data, "deadline", "realtime", 0);
        av_opt_set(e->priv_data, "cpu-used", "8", 0);
        av_opt_set(e->priv_data, "crf", "32", 0);
        e->bit_rate = 0;
    } else {
        av_opt_set(e->priv_data, "preset", "veryfast", 0);
        av_opt_set(e->priv_data, "crf", "23", 0);
    }
    if (c->format->oformat->flags & AVFMT_GLOBALHEADER)
        e->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if ((code = avcodec_open2(e, codec, nullptr)) < 0 ||
        (code = avcodec_parameters_from_context(c->stream->codecpar, e)) < 0) {
        error = QStringLiteral("cannot start the encoder: %1").arg(avError(code));
        return nullptr;
    }
    c->stream->time_base = e->time_base;
    c->stream->avg_frame_rate = {fps, 1};
    c->frame->format = e->pix_fmt;
    c->frame->width = e->width;
    c->frame->height = e->height;
    if ((code = av_frame_get_buffer(c->frame, 0)) < 0) {
        error = avError(code);
        return nullptr;
    }
    c->convert = sws_getContext(e->width, e->height, AV_PIX_FMT_BGRA, e->width, e->height, AV_PIX_FMT_YUV420P, SWS_BILINEAR,
                                nullptr, nullptr, nullptr);
    if ((code = avio_open(&c->format->pb, file.constData(), AVIO_FLAG_WRITE)) < 0) {
        error = QStringLiteral("%1: %2").arg(path, avError(code));
        return nullptr;
    }
    if ((code = avformat_write_header(c->format, nullptr)) < 0) {
        error = QStringLiteral("%1: %2").arg(path, avError(code));
        return nullptr;
    }
    return std::make_unique<FfmpegWriter>(std::move(c));
}

QSize FfmpegWriter::size() const { return {codec_->encoder->width, codec_->encoder->height}; }

bool FfmpegWriter::write(const unsigned char *pixels, int stride, QString &error)
{
    Codec &c = *codec_;
    const int code = av_frame_make_writable(c.frame);
    if (code < 0) {
        error = avError(code);
        return false;
    }
    const uint8_t *source[1] = {pixels};
    const int strides[1] = {stride};
    sws_scale(c.convert, source, strides, 0, c.encoder->height, c.frame->data, c.frame->linesize);
    c.frame->pts = c.next++;
    return c.encode(c.frame, error);
}

bool FfmpegWriter::finish(QString &error)
{
    Codec &c = *codec_;
    if (!c.encode(nullptr, error))
        return false;
    const int code = av_write_trailer(c.format);
    if (code < 0) {
        error = QStringLiteral("writing: %1").arg(avError(code));
        return false;
    }
    if (avio_closep(&c.format->pb) < 0) {
        error = QStringLiteral("closing the file");
        return false;
    }
    return true;
}

// A video file opened for reading, with its best video stream (-1 when it
// has none); closed when it goes.
class VideoInput {
public:
    VideoInput(const QString &path, QString &error)
    {
        if (const int code = avformat_open_input(&format_, path.toLocal8Bit().constData(), nullptr, nullptr); code < 0) {
            error = QStringLiteral("%1: %2").arg(path, avError(code));
            return;
        }
        opened_ = true;
        stream_ = avformat_find_stream_info(format_, nullptr) < 0 ? -1
                                                                 : av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    }
    ~VideoInput() { avformat_close_input(&format_); }
    VideoInput(const VideoInput &) = delete;
    VideoInput &operator=(const VideoInput &) = delete;

    bool opened() const { return opened_; }
    AVFormatContext *format() const { return format_; }
    int stream() const { return stream_; }
    const AVCodecParameters *parameters() const { return format_->streams[stream_]->codecpar; }
    // The decoder for the stream; none when this FFmpeg has none for it,
    // which does not keep the stream's facts from being read.
    const AVCodec *codec() const { return avcodec_find_decoder(parameters()->codec_id); }

private:
    AVFormatContext *format_ = nullptr;
    bool opened_ = false;
    int stream_ = -1;
};

bool readFacts(const QString &path, VideoFacts &facts, QString &error)
{
    const VideoInput input(path, error);
    if (!input.opened())
        return false;
    if (input.stream() < 0) {
        error = QStringLiteral("%1: no video stream").arg(path);
        return false;
    }
    const AVStream *stream = input.format()->streams[input.stream()];
    facts.size = {stream->codecpar->width, stream->codecpar->height};
    facts.fps = av_q2d(stream->avg_frame_rate);
    facts.codec = QString::fromLatin1(avcodec_get_name(stream->codecpar->codec_id));
    // Count the frames by their packets: the container's own count may be
    // missing (WebM).
    AVPacket *packet = av_packet_alloc();
    facts.frames = 0;
    while (av_read_frame(input.format(), packet) >= 0) {
        if (packet->stream_index == input.stream())
            ++facts.frames;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return true;
}

bool readFrame(const QString &path, int index, QByteArray &pixels, QSize &size, QString &error)
{
    const VideoInput input(path, error);
    if (!input.opened())
        return false;
    const AVCodec *codec = input.stream() >= 0 ? input.codec() : nullptr;
    AVCodecContext *decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    bool found = false;
    if (decoder && avcodec_parameters_to_context(decoder, input.parameters()) >= 0 &&
        avcodec_open2(decoder, codec, nullptr) >= 0) {
        int seen = 0;
        const auto take = [&] {
            while (!found && avcodec_receive_frame(decoder, frame) == 0) {
                if (seen++ < index)
                    continue;
                size = {frame->width, frame->height};
                pixels.resize(qsizetype(frame->width) * frame->height * 4);
                SwsContext *convert = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                                     frame->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
                uint8_t *target[1] = {reinterpret_cast<uint8_t *>(pixels.data())};
                const int strides[1] = {frame->width * 4};
                sws_scale(convert, frame->data, frame->linesize, 0, frame->height, target, strides);
                sws_freeContext(convert);
                found = true;
            }
        };
        while (!found && av_read_frame(input.format(), packet) >= 0) {
            if (packet->stream_index == input.stream() && avcodec_send_packet(decoder, packet) >= 0)
                take();
            av_packet_unref(packet);
        }
        if (!found && avcodec_send_packet(decoder, nullptr) >= 0)
            take();
    }
    if (!found)
        error = QStringLiteral("%1: no frame %2").arg(path).arg(index);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    return found;
}

}  // namespace
}  // namespace keelrun

// The one symbol the module shows; everything else stays hidden.
extern "C" __attribute__((visibility("default"))) const keelrun::VideoCodec *keelrunVideoCodec()
{
    static const keelrun::VideoCodec codec{keelrun::openWriter, keelrun::readFacts, keelrun::readFrame};
    return &codec;
}
