// Feeds arbitrary bytes to one track decoder, chosen at build time by
// KEELRUN_DECODER. The decoder passes damaged records over; it must never
// crash, hang or read outside the input.

#include <cstdint>

#include "io/tracks/track_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    keelrun::RaceState race;
    race.startTimeUtc = keelrun::makeDateTime(2009, 5, 3, 2, 0, 0);
    race.raceDate = keelrun::makeDateTime(2009, 5, 3);
    keelrun::BoatEntry &boat = race.boats[1];
    keelrun::FixSink sink(race, boat);
    keelrun::KEELRUN_DECODER(std::string_view(reinterpret_cast<const char *>(data), size), {"fuzz", race.raceDate}, sink);
    return 0;
}
