// VKX: the log of the Vakaros Atlas, a racing compass, GPS and start timer
// that logs 5 to 10 fixes a second. The file is a run of rows, each a
// one-byte key and a payload whose size the key fixes; there is no length
// in a row, so a key of unknown size leaves no way to find the next one.
// Numbers are little-endian. The rows this reader takes:
//
//   0xFF page header, 7 bytes: the format version (0 to 4 so far), then
//        the logger's own state. It starts the file and every page of about
//        2 kB after.
//   0x02 position, 44 bytes: the time (unsigned 64-bit milliseconds since
//        1970-01-01 UTC), latitude and longitude (signed 32-bit, 1e-7
//        degrees), then speed and course over ground, altitude and the
//        unit's orientation (not read).
//   0x04 race timer event, 13 bytes: the time, the event (one byte: 0 reset,
//        1 countdown started, 2 synced, 3 race start, the countdown reached
//        zero, 4 race end) and the timer's value in seconds (signed 32-bit).
//   0x05 line position, 17 bytes: the time, the end pinged (one byte: 0 the
//        pin, the left end looking upwind; 1 the boat, the right end) and
//        its latitude and longitude (32-bit floats, degrees).
//
// Every other row of a known key is passed over by its size: page
// terminators, declination, shift angles, settings, wind, speed through the
// water, depth, load, temperature and the unit's internal rows.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

enum Key : unsigned char {
    kPosition = 0x02,
    kTimerEvent = 0x04,
    kLinePosition = 0x05,
    kPageHeader = 0xFF,
};

// What each key's row is: its payload size, 0 for a key of unknown size,
// and what the user reads of it.
struct RowKind {
    std::uint8_t size = 0;
    const char *name = nullptr;
};

constexpr std::array<RowKind, 256> kRowKinds = [] {
    std::array<RowKind, 256> kinds{};
    kinds[kPageHeader] = {7, "page header"};
    kinds[0xFE] = {2, "page terminator"};  // the length of the page before, for reading backwards
    kinds[0x01] = {32, "internal"};
    kinds[kPosition] = {44, "position"};
    kinds[0x03] = {20, "declination"};
    kinds[kTimerEvent] = {13, "race timer event"};
    kinds[kLinePosition] = {17, "line position"};
    kinds[0x06] = {18, "shift angle"};
    kinds[0x07] = {12, "internal"};
    kinds[0x08] = {13, "settings"};
    kinds[0x0A] = {16, "wind"};
    kinds[0x0B] = {16, "speed through the water"};
    kinds[0x0C] = {12, "depth"};
    kinds[0x0E] = {16, "internal"};
    kinds[0x0F] = {16, "load"};
    kinds[0x10] = {12, "temperature"};
    kinds[0x20] = {13, "internal"};
    return kinds;
}();

constexpr unsigned char kRaceStart = 3;  // the timer event of the countdown's zero

// Where a walk over the rows ended, and why.
struct RowWalk {
    enum Stop { AtEnd, UnknownKey, CutShort };
    Stop stop = AtEnd;
    std::size_t at = 0;  // the row where the walk stopped; the file's size at its end
};

// Calls `visit(key, offset, payload)` for each whole row from the start of
// the file, in file order.
template <typename Visit>
RowWalk walkRows(std::string_view bytes, Visit &&visit)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto key = static_cast<unsigned char>(bytes[at]);
        const std::size_t size = kRowKinds[key].size;
        if (size == 0)
            return {RowWalk::UnknownKey, at};
        if (bytes.size() - at - 1 < size)
            return {RowWalk::CutShort, at};
        visit(key, at, bytes.data() + at + 1);
        at += 1 + size;
    }
    return {RowWalk::AtEnd, at};
}

// Whether the file starts as every VKX log does, with a whole page header.
bool startsWithPageHeader(std::string_view bytes)
{
    return bytes.size() > kRowKinds[kPageHeader].size && static_cast<unsigned char>(bytes[0]) == kPageHeader;
}

std::int64_t millisecondsAt(const char *payload) { return static_cast<std::int64_t>(wordAt(payload)); }

std::string_view view(const char *payload, std::size_t size) { return {payload, size}; }

// 1e-7 degrees in minutes of arc, in one rounding: the product is exact.
double minutesOfTenMillionths(std::int32_t value) { return static_cast<double>(value) * 60 / 1e7; }

bool onTheGlobe(double latMinutes, double lonMinutes)
{
    return std::abs(latMinutes) <= 90 * 60 && std::abs(lonMinutes) <= 180 * 60;
}

// "0x3C".
QString hexByte(unsigned value) { return QStringLiteral("0x") + QString::number(value, 16).rightJustified(2, QLatin1Char('0')).toUpper(); }

// A row passed over, described for the user by its place in the file.
template <typename Describe>
void damaged(FixSink &sink, std::size_t at, Describe describe)
{
    sink.passOverDamaged([&] { return QStringLiteral("byte %1: ").arg(at) + describe(); });
}

QString degreesText(double minutes) { return QString::number(minutes / 60, 'f', 7); }

void readPosition(std::size_t at, const char *payload, FixSink &sink)
{
    const std::string_view row = view(payload, kRowKinds[kPosition].size);
    const double lat = minutesOfTenMillionths(int32At(row, 8));
    const double lon = minutesOfTenMillionths(int32At(row, 12));
    if (!onTheGlobe(lat, lon)) {
        damaged(sink, at, [&] {
            return QStringLiteral("the position %1, %2 is off the globe").arg(degreesText(lat), degreesText(lon));
        });
        return;
    }
    sink.addUnixMilliseconds(millisecondsAt(payload), lat, lon);
}

void readLinePosition(std::size_t at, const char *payload, FixSink &sink)
{
    const std::string_view row = view(payload, kRowKinds[kLinePosition].size);
    const auto end = static_cast<unsigned char>(row[8]);
    const double lat = floatAt(row, 9) * 60.0;
    const double lon = floatAt(row, 13) * 60.0;
    if (end > 1) {
        damaged(sink, at, [&] { return QStringLiteral("the line end %1 is neither the pin (0) nor the boat (1)").arg(end); });
        return;
    }
    if (!onTheGlobe(lat, lon)) {
        damaged(sink, at, [&] {
            return QStringLiteral("the pinged %1 end %2, %3 is off the globe")
                .arg(QLatin1String(end == 0 ? "pin" : "boat"), degreesText(lat), degreesText(lon));
        });
        return;
    }
    sink.pingedLineEnd(end == 0 ? StartLineEnd::Pin : StartLineEnd::Boat, millisecondsAt(payload), lat, lon);
}

// What stopped a walk before the end of the file, for the user.
QString stopText(std::string_view bytes, const RowWalk &walk)
{
    const auto key = static_cast<unsigned char>(bytes[walk.at]);
    const std::size_t left = bytes.size() - walk.at;
    if (walk.stop == RowWalk::UnknownKey)
        return QStringLiteral("the row key %1 is none whose size is known, so no later row can be found; the %2 from there on %3 not read")
            .arg(hexByte(key), left == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(left),
                 QLatin1String(left == 1 ? "was" : "were"));
    return QStringLiteral("the %1 row (key %2, %3 bytes) is cut short: the file ends %4 bytes into it")
        .arg(QLatin1String(kRowKinds[key].name), hexByte(key))
        .arg(1 + kRowKinds[key].size)
        .arg(left);
}

// "3 page headers, 1 race timer event".
QString rowCounts(int pages, int timerEvents, int linePositions, int others)
{
    QStringList counts;
    const auto count = [&](int n, const char *one, const char *many) {
        if (n > 0)
            counts << QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    count(pages, "page header", "page headers");
    count(timerEvents, "race timer event", "race timer events");
    count(linePositions, "line position", "line positions");
    count(others, "other row", "other rows");
    return counts.join(QLatin1String(", "));
}

}  // namespace

QString vkxWithoutPositions(std::string_view bytes)
{
    if (bytes.empty())
        return QStringLiteral("the file is empty");
    if (!startsWithPageHeader(bytes)) {
        QStringList first;
        for (std::size_t k = 0; k < std::min<std::size_t>(bytes.size(), 8); ++k)
            first << hexByte(static_cast<unsigned char>(bytes[k]));
        return QStringLiteral("not a VKX log: no page header (key 0xFF, 8 bytes) at byte 0; the file begins %1")
            .arg(first.join(QLatin1Char(' ')));
    }
    int positions = 0, pages = 0, timerEvents = 0, linePositions = 0, others = 0;
    const RowWalk walk = walkRows(bytes, [&](unsigned char key, std::size_t, const char *) {
        switch (key) {
        case kPosition: ++positions; break;
        case kPageHeader: ++pages; break;
        case kTimerEvent: ++timerEvents; break;
        case kLinePosition: ++linePositions; break;
        default: ++others; break;
        }
    });
    if (positions > 0)
        return {};
    QString why = QStringLiteral("no position rows in the log; it holds %1").arg(rowCounts(pages, timerEvents, linePositions, others));
    if (walk.stop != RowWalk::AtEnd)
        why += QStringLiteral(" before byte %1, where %2").arg(walk.at).arg(stopText(bytes, walk));
    return why;
}

void readVkx(std::string_view bytes, const TrackContext &, FixSink &sink)
{
    if (!startsWithPageHeader(bytes))
        return;  // no VKX log: vkxWithoutPositions says so
    const RowWalk walk = walkRows(bytes, [&](unsigned char key, std::size_t at, const char *payload) {
        switch (key) {
        case kPosition:
            readPosition(at, payload, sink);
            break;
        case kTimerEvent:
            if (static_cast<unsigned char>(payload[8]) == kRaceStart)
                sink.timerGun(millisecondsAt(payload));
            break;
        case kLinePosition:
            readLinePosition(at, payload, sink);
            break;
        default:
            break;
        }
    });
    if (walk.stop != RowWalk::AtEnd)
        damaged(sink, walk.at, [&] { return stopText(bytes, walk); });
}

}  // namespace keelrun
