#include <array>
#include <bit>
#include <initializer_list>
#include <numbers>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <utility>

#include "track_writers.h"

namespace keelrun::sim {
namespace {

void putInt32(QByteArray &out, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.append(static_cast<char>((u >> shift) & 0xFF));
}

void putFloat(QByteArray &out, double v) { putInt32(out, std::bit_cast<std::int32_t>(static_cast<float>(v))); }

std::int32_t semicircles(double degrees)
{
    return static_cast<std::int32_t>(std::llround(degrees * 2147483648.0 / 180.0));
}

// A printable header: no byte of it is 0 or 1, so a scan for fix records
// never stops inside it.
QByteArray textHeader(const char *kind, const std::string &trackName, std::size_t count)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "KEELRUN TRACK DATABASE %s v1 %-24.24s %08zu FIXES ", kind,
                  trackName.c_str(), count);
    return buffer;
}

const QByteArray kTrailer = QByteArrayLiteral("END OF TRACK DATA - KEELRUN SIM ");  // 32 bytes

// The 24 bytes of a fix: two zero bytes, latitude, longitude, a flag byte,
// eight bytes of 0xFF (depth and temperature not measured), a one byte and
// the time. The 0xFF block keeps the bytes between two fixes from looking
// like the start of another.
void putFixRecord(QByteArray &out, const Fix &f, char flag)
{
    out.append(2, '\0');
    putInt32(out, semicircles(f.lat));
    putInt32(out, semicircles(f.lon));
    out.append(flag);
    out.append(8, '\xFF');
    out.append('\x01');
    putInt32(out, static_cast<std::int32_t>(f.time));
}

// Speed over ground into fix i from the fix before, in knots.
double knotsInto(const std::vector<Fix> &fixes, std::size_t i)
{
    if (i == 0 || fixes[i].time <= fixes[i - 1].time)
        return 0;
    const Fix &a = fixes[i - 1], &b = fixes[i];
    const double dn = (b.lat - a.lat) * 60;
    const double de = (b.lon - a.lon) * 60 * std::cos(b.lat * std::numbers::pi / 180);
    return std::hypot(dn, de) * 3600 / static_cast<double>(b.time - a.time);
}

void putUint16(QByteArray &out, unsigned v)
{
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

// The FIT CRC-16 a nibble at a time, low nibble first, from the 16-entry
// table the FIT protocol gives.
std::uint16_t fitCrc(const QByteArray &bytes)
{
    static constexpr std::uint16_t kTable[16] = {0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
                                                 0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400};
    std::uint16_t crc = 0;
    for (const char c : bytes) {
        const unsigned byte = static_cast<std::uint8_t>(c);
        for (const unsigned nibble : {byte & 0xF, byte >> 4}) {
            const std::uint16_t low = kTable[crc & 0xF];
            crc = static_cast<std::uint16_t>(((crc >> 4) & 0x0FFF) ^ low ^ kTable[nibble]);
        }
    }
    return crc;
}

// A FIT definition message of a local type: little-endian, a global
// message number and (field number, size, base type) for each field.
void putFitDefinition(QByteArray &out, int local, unsigned global, std::initializer_list<std::array<std::uint8_t, 3>> fields)
{
    out.append(static_cast<char>(0x40 | local));
    out.append('\0');  // reserved
    out.append('\0');  // little-endian
    putUint16(out, global);
    out.append(static_cast<char>(fields.size()));
    for (const auto &field : fields)
        out.append(reinterpret_cast<const char *>(field.data()), 3);
}

// A VKX log as the logger writes it, row by row into pages. A page holds
// at most kPageBytes: its header row, its rows and its terminator row,
// whose payload is the page's length, so that the log can be read
// backwards from its end.
class VkxWriter {
public:
    static constexpr qsizetype kPageBytes = 2048;
    static constexpr unsigned char kVersion = 4;  // VKX 1.3

    VkxWriter() { beginPage(); }

    // Starts a row of `key` with `payloadBytes` to follow, on a new page
    // when this one has no room for it and the terminator.
    QByteArray &row(unsigned char key, qsizetype payloadBytes)
    {
        if (out_.size() - pageStart_ + 1 + payloadBytes + kTerminatorBytes > kPageBytes) {
            endPage();
            beginPage();
        }
        out_.append(static_cast<char>(key));
        return out_;
    }

    QByteArray finish()
    {
        endPage();
        return std::move(out_);
    }

private:
    static constexpr qsizetype kTerminatorBytes = 3;

    void beginPage()
    {
        pageStart_ = out_.size();
        out_.append('\xFF');
        out_.append(static_cast<char>(kVersion));
        out_.append(6, '\0');  // the logger's own state
    }

    void endPage()
    {
        const auto length = static_cast<std::uint16_t>(out_.size() - pageStart_ + kTerminatorBytes);
        out_.append('\xFE');
        out_.append(static_cast<char>(length & 0xFF));
        out_.append(static_cast<char>(length >> 8));
    }

    QByteArray out_;
    qsizetype pageStart_ = 0;
};

void putUint64(QByteArray &out, std::int64_t v)
{
    const auto u = static_cast<std::uint64_t>(v);
    for (int shift = 0; shift < 64; shift += 8)
        out.append(static_cast<char>((u >> shift) & 0xFF));
}

std::int32_t tenMillionths(double degrees) { return static_cast<std::int32_t>(std::llround(degrees * 1e7)); }

// Speed (m/s) and course (radians from true north) over the ground from one
// fix to the next; still for fixes at one time.
std::pair<double, double> groundMotion(const Fix &from, const Fix &to)
{
    const std::int64_t milliseconds = unixMilliseconds(to) - unixMilliseconds(from);
    if (milliseconds <= 0)
        return {0, 0};
    const double north = (to.lat - from.lat) * 60 * 1852;
    const double east = (to.lon - from.lon) * 60 * 1852 * std::cos(to.lat * std::numbers::pi / 180);
    const double course = std::atan2(east, north);
    return {std::hypot(north, east) * 1000 / static_cast<double>(milliseconds),
            course < 0 ? course + 2 * std::numbers::pi : course};
}

}  // namespace

QByteArray writeVkx(const std::vector<Fix> &fixes, const StartLog &start)
{
    VkxWriter log;
    // Settings: 8 unused bytes, the unit not fixed to the hull, a fix a second.
    QByteArray &settings = log.row(0x08, 13);
    settings.append(8, '\0');
    putInt32(settings, 0);
    settings.append('\x01');

    auto timer = start.timer.begin();
    auto ping = start.pings.begin();
    // The events up to `until` (milliseconds), in time order.
    const auto eventsUpTo = [&](std::int64_t until) {
        while (true) {
            const bool timerNext = timer != start.timer.end() && timer->time <= until &&
                                   (ping == start.pings.end() || timer->time <= ping->time);
            if (timerNext) {
                QByteArray &row = log.row(0x04, 13);
                putUint64(row, timer->time);
                row.append(static_cast<char>(timer->event));
                putInt32(row, timer->timerSeconds);
                ++timer;
            } else if (ping != start.pings.end() && ping->time <= until) {
                QByteArray &row = log.row(0x05, 17);
                putUint64(row, ping->time);
                row.append(static_cast<char>(ping->end));
                putFloat(row, ping->at.lat);
                putFloat(row, ping->at.lon);
                ++ping;
            } else {
                return;
            }
        }
    };
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        const Fix &f = fixes[i];
        eventsUpTo(unixMilliseconds(f));
        const auto [speed, course] = i > 0 ? groundMotion(fixes[i - 1], f) : std::pair<double, double>{0, 0};
        QByteArray &row = log.row(0x02, 44);
        putUint64(row, unixMilliseconds(f));
        putInt32(row, tenMillionths(f.lat));
        putInt32(row, tenMillionths(f.lon));
        putFloat(row, speed);
        putFloat(row, course);
        putFloat(row, f.elevation);
        // The unit lies flat, its bow on the course: a turn about the down axis.
        putFloat(row, std::cos(course / 2));
        putFloat(row, 0);
        putFloat(row, 0);
        putFloat(row, std::sin(course / 2));
    }
    eventsUpTo(std::numeric_limits<std::int64_t>::max());
    return log.finish();
}

QByteArray writeTrb(const std::vector<Fix> &fixes)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(fixes.size() * 12));
    for (const Fix &f : fixes) {
        putInt32(out, static_cast<std::int32_t>(f.time));
        putFloat(out, f.lat);
        putFloat(out, f.lon);
    }
    return out;
}

QByteArray writeTrl(const std::vector<Fix> &fixes, int recordBytes)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(fixes.size()) * recordBytes);
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        const Fix &f = fixes[i];
        putInt32(out, static_cast<std::int32_t>(f.time));
        putFloat(out, f.lat);
        putFloat(out, f.lon);
        putFloat(out, f.elevation);
        if (recordBytes == 20)
            putFloat(out, knotsInto(fixes, i));
    }
    return out;
}

// Fix records follow each other directly; the two zero bytes at the start of
// each are also what ends the one before. Two zero bytes close the last.
QByteArray writeGdb(const std::vector<Fix> &fixes, const std::string &trackName)
{
    QByteArray out = textHeader("GDB", trackName, fixes.size());
    for (const Fix &f : fixes)
        putFixRecord(out, f, '\x01');
    out.append(2, '\0');
    return out + kTrailer;
}

// Each fix is a four-letter record tag, the 24 fix bytes and nine zero bytes
// of unused fields. The flag byte marks the first fix of the track.
QByteArray writeMps(const std::vector<Fix> &fixes, const std::string &trackName)
{
    QByteArray out = textHeader("MPS", trackName, fixes.size());
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        out.append("TRKP");
        putFixRecord(out, fixes[i], i == 0 ? '\x01' : '\0');
        out.append(9, '\0');
    }
    return out + kTrailer;
}

QByteArray writeFit(const std::vector<Fix> &fixes)
{
    constexpr std::int64_t kFitEpoch = 631065600;  // 1989-12-31 00:00 UTC in Unix seconds
    constexpr std::uint8_t kEnum = 0x00, kUint16 = 0x84, kSint32 = 0x85, kUint32 = 0x86, kUint32z = 0x8C;
    const auto fitTime = [](const Fix &f) { return static_cast<std::int32_t>(f.time - kFitEpoch); };

    QByteArray messages;
    messages.reserve(static_cast<qsizetype>(fixes.size() * 17 + 64));
    // file_id: an activity of a development device, created at the first fix.
    putFitDefinition(messages, 0, 0, {{0, 1, kEnum}, {1, 2, kUint16}, {2, 2, kUint16}, {3, 4, kUint32z}, {4, 4, kUint32}});
    messages.append('\0');
    messages.append('\x04');
    putUint16(messages, 255);
    putUint16(messages, 1);
    putInt32(messages, 0x4B52554E);
    putInt32(messages, fixes.empty() ? 0 : fitTime(fixes.front()));
    // record: time, position in semicircles, altitude (0.2 m steps from
    // -500 m) and speed (mm/s).
    putFitDefinition(messages, 1, 20, {{253, 4, kUint32}, {0, 4, kSint32}, {1, 4, kSint32}, {2, 2, kUint16}, {6, 2, kUint16}});
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        const Fix &f = fixes[i];
        messages.append('\x01');
        putInt32(messages, fitTime(f));
        putInt32(messages, semicircles(f.lat));
        putInt32(messages, semicircles(f.lon));
        putUint16(messages, static_cast<unsigned>(std::lround((f.elevation + 500) * 5)));
        putUint16(messages, static_cast<unsigned>(std::lround(knotsInto(fixes, i) * 1852 / 3.6)));
    }

    // The 14-byte header: its size, protocol 2.0, profile 21.32, the size
    // of the messages, ".FIT" and the CRC of the 12 bytes before it.
    QByteArray out;
    out.append('\x0E');
    out.append('\x20');
    putUint16(out, 2132);
    putInt32(out, static_cast<std::int32_t>(messages.size()));
    out.append(".FIT");
    putUint16(out, fitCrc(out));
    out.append(messages);
    putUint16(out, fitCrc(out));
    return out;
}

}  // namespace keelrun::sim
