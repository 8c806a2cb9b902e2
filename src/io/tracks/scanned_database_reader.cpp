// Garmin-style database files (gdb, mps) hold track points among much else.
// Rather than parse the whole database, the file is scanned for the byte
// pattern of a track point: latitude and longitude as int32 semicircles and
// a Unix time, framed by flag and padding bytes that are 0 or 1.

#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

constexpr std::size_t kScanStart = 30;       // past the file header
constexpr std::size_t kMinimumFileSize = 60;

struct RecordShape {
    std::ptrdiff_t latAt, lonAt, timeAt;  // relative to the flag byte
    std::size_t size;
};

constexpr RecordShape kLongRecord{-8, -4, 10, 24};
constexpr RecordShape kShortRecord{-9, -5, 1, 16};

// Hands the record at `i` to the sink and returns the next position to examine.
std::size_t takeRecord(std::string_view bytes, std::size_t i, const RecordShape &shape, FixSink &sink)
{
    const auto at = [&](std::ptrdiff_t offset) { return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(i) + offset); };
    const std::int32_t time = int32At(bytes, at(shape.timeAt));
    if (time > 0)
        sink.add(fromUnixTime(time), semicirclesToMinutes(int32At(bytes, at(shape.latAt))),
                 semicirclesToMinutes(int32At(bytes, at(shape.lonAt))));
    return i + shape.size - 3;
}

// The file's bytes; positions outside the file read as -1, which no test
// matches, so a record is found right up to the end of the file.
class ScannedBytes {
public:
    explicit ScannedBytes(std::string_view bytes) : bytes_(bytes) {}
    int operator[](std::size_t k) const { return k < bytes_.size() ? static_cast<unsigned char>(bytes_[k]) : -1; }

private:
    std::string_view bytes_;
};

// Calls `test(b, i)`, which returns the next position to examine, for the
// positions of the file.
template <typename Test>
void scan(std::string_view bytes, Test &&test)
{
    if (bytes.size() < kMinimumFileSize)
        return;
    const ScannedBytes b(bytes);
    for (std::size_t i = kScanStart; i < bytes.size();)
        i = test(b, i);
}

}  // namespace

void readGdb(std::string_view bytes, const TrackContext &, FixSink &sink)
{
    scan(bytes, [&](const ScannedBytes &b, std::size_t i) {
        if (b[i] == 1 && b[i - 10] == 0 && b[i - 9] == 0 && b[i + 9] == 1 && b[i + 14] == 0 && b[i + 15] == 0)
            return takeRecord(bytes, i, kLongRecord, sink);
        if (b[i - 1] == 0 && b[i] == 1 && b[i - 11] == 0 && b[i - 10] == 0 && b[i + 5] == 0 && b[i + 6] == 0)
            return takeRecord(bytes, i, kShortRecord, sink);
        return i + 1;
    });
}

void readMps(std::string_view bytes, const TrackContext &, FixSink &sink)
{
    scan(bytes, [&](const ScannedBytes &b, std::size_t i) {
        if (b[i] > 1 || b[i - 10] != 0 || b[i - 9] != 0 || b[i + 9] != 1)
            return i + 1;
        for (std::size_t k = 14; k <= 22; ++k) {
            if (b[i + k] != 0)
                return i + 1;
        }
        return takeRecord(bytes, i, kLongRecord, sink);
    });
}

}  // namespace keelrun
