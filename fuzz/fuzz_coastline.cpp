// Feeds arbitrary bytes to one of the coastline readers, chosen at build
// time: the general file, the detailed file (over a window that takes in
// every cell of square 5135), or the light list.

#include <cstdint>
#include <string_view>
#include <vector>

#include "io/coastline_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
#if defined(KEELRUN_COAST_GENERAL)
    std::vector<keelrun::CoastPoint> points;
    keelrun::readGeneralCoastline(text, "toba.cst", points);
#elif defined(KEELRUN_COAST_DETAILED)
    std::vector<keelrun::CoastPoint> points;
    keelrun::readDetailedCoastline(text, "5135.cst", {40, 2040, 2080, 8100, 8160}, {0.2, -0.2}, points);
#else
    std::vector<keelrun::Light> lights;
    keelrun::readLightList(text, "toba.lh", lights);
#endif
    return 0;
}
