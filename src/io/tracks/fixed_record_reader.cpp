// Binary track files of fixed-size little-endian records: Unix time (int32),
// latitude and longitude in degrees (float32), then, in the 16- and 20-byte
// forms, bytes this program does not need.

#include <cstdlib>

#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

void readRecords(std::string_view bytes, std::size_t recordSize, FixSink &sink)
{
    const std::size_t records = bytes.size() / recordSize;
    for (std::size_t k = 0; k < records; ++k) {
        const std::size_t at = k * recordSize;
        sink.add(fromUnixTime(int32At(bytes, at)), floatAt(bytes, at + 4) * 60.0, floatAt(bytes, at + 8) * 60.0);
    }
}

}  // namespace

void readTrb(std::string_view bytes, const TrackContext &, FixSink &sink) { readRecords(bytes, 12, sink); }

// The record size is not written anywhere: the time of the second record is
// close to the first one's, so whichever of offsets 16 and 20 holds the
// nearer time starts the second record.
void readTrl(std::string_view bytes, const TrackContext &, FixSink &sink)
{
    if (bytes.size() < 24)
        return;
    const std::int64_t t0 = int32At(bytes, 0);
    const std::int64_t t16 = int32At(bytes, 16);
    const std::int64_t t20 = int32At(bytes, 20);
    const std::size_t recordSize = std::abs(t0 - t16) < std::abs(t0 - t20) ? 16 : 20;
    readRecords(bytes, recordSize, sink);
}

}  // namespace keelrun
