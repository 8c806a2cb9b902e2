// Feeds arbitrary bytes to the JPEG decoder of the cover picture.

#include <cstdint>
#include <string_view>

#include "io/jpeg_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    (void)keelrun::decodeJpeg(std::string_view(reinterpret_cast<const char *>(data), size));
    return 0;
}
