#pragma once
// JPEG pictures (the race's cover picture) decoded with libjpeg.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include <QString>

namespace keelrun {

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, rows top to bottom
};

// Nothing for data that is not a whole JPEG picture. A picture larger than
// 4096 pixels either way is scaled down by 2, 4 or 8 to fit; one larger than
// 32768 pixels is refused.
std::optional<RgbPicture> decodeJpeg(std::string_view bytes);
std::optional<RgbPicture> readJpegFile(const QString &path);

}  // namespace keelrun
