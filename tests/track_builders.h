#pragma once
// Builders of track files for tests: little-endian records and NMEA
// sentences as the loggers write them.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace keelrun::test {

// The gun at 2009-05-03 02:00:00 UTC.
inline constexpr std::int64_t kGunUnix = 1241316000;

// Little-endian record builders.
inline void putInt(std::string &out, std::size_t at, std::int32_t v)
{
    for (int k = 0; k < 4; ++k)
        out[at + k] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * k)) & 0xFF);
}

inline void putFloat(std::string &out, std::size_t at, float v)
{
    std::int32_t bits;
    std::memcpy(&bits, &v, 4);
    putInt(out, at, bits);
}

inline std::string fixedRecords(int count, std::size_t size, int step = 1)
{
    std::string out(count * size, '\x7f');
    for (int k = 0; k < count; ++k) {
        putInt(out, k * size, static_cast<std::int32_t>(kGunUnix + k * step));
        putFloat(out, k * size + 4, 35.5f);
        putFloat(out, k * size + 8, -139.25f);
    }
    return out;
}

inline constexpr std::int32_t semicircles(double degrees) { return static_cast<std::int32_t>(degrees * 2147483648.0 / 180.0); }

// A gdb file: a 40-byte header, then 24-byte track points framed so that
// the flag byte sits at offset 10 of each record.
inline std::string gdbFile(int count, std::int64_t firstTime)
{
    std::string out(40, 'H');
    for (int k = 0; k < count; ++k) {
        std::string r(24, '\0');
        putInt(r, 2, semicircles(35.5));
        putInt(r, 6, semicircles(-139.25));
        r[10] = 1;   // flag
        r[19] = 1;   // time follows
        putInt(r, 20, static_cast<std::int32_t>(firstTime + k));
        out += r;
    }
    return out + std::string(40, '\0');
}

// An NMEA sentence of `body` (from the talker to the last field), with its
// "$", checksum and line end.
inline std::string nmea(const std::string &body)
{
    unsigned sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

}  // namespace keelrun::test
