#include "io/jpeg_picture.h"

#include <csetjmp>
#include <cstdio>

#include <QFile>

#include <jpeglib.h>

namespace keelrun {
namespace {

constexpr JDIMENSION kMaxSide = 4096;

// The smallest of libjpeg's scales 1, 1/2, 1/4 and 1/8 that brings both
// sides within kMaxSide; 0 when even 1/8 does not.
unsigned scaleDenominator(JDIMENSION width, JDIMENSION height)
{
    for (unsigned denominator = 1; denominator <= 8; denominator *= 2) {
        if ((width + denominator - 1) / denominator <= kMaxSide && (height + denominator - 1) / denominator <= kMaxSide)
            return denominator;
    }
    return 0;
}

// libjpeg reports errors through a callback that must not return: jump back
// to the decoder instead of ending the program.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

void onMessage(j_common_ptr) {}

// Decodes into `picture`, which lives outside this function so that the
// jump back from an error leaves it in a defined state.
bool decodeInto(std::string_view bytes, RgbPicture &picture)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.output_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    const unsigned denominator =
        jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK ? scaleDenominator(info.image_width, info.image_height) : 0;
    if (denominator == 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.scale_num = 1;
    info.scale_denom = denominator;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture.width = static_cast<int>(info.output_width);
    picture.height = static_cast<int>(info.output_height);
    const std::size_t stride = std::size_t(info.output_width) * 3;
    picture.rgb.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.rgb.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // A truncated picture only raises a warning and is padded out: refuse it.
    const bool whole = errors.base.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return whole;
}

}  // namespace

std::optional<RgbPicture> decodeJpeg(std::string_view bytes)
{
    RgbPicture picture;
    if (!decodeInto(bytes, picture))
        return std::nullopt;
    return picture;
}

std::optional<RgbPicture> readJpegFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = f.readAll();
    return decodeJpeg(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace keelrun
