#include <bit>
#include <numbers>
#include <cmath>
#include <cstdint>
#include <cstdio>

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

}  // namespace

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
        if (recordBytes == 20) {
            double knots = 0;
            if (i > 0 && f.time > fixes[i - 1].time) {
                const double dn = (f.lat - fixes[i - 1].lat) * 60;
                const double de = (f.lon - fixes[i - 1].lon) * 60 * std::cos(f.lat * std::numbers::pi / 180);
                knots = std::hypot(dn, de) * 3600 / static_cast<double>(f.time - fixes[i - 1].time);
            }
            putFloat(out, knots);
        }
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

}  // namespace keelrun::sim
