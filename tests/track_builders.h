#pragma once
// Builders of track files for tests: little-endian records, NMEA
// sentences and VKX rows as the loggers write them.

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// FIT files built message by message, values in the byte order of their
// definition, the CRCs worked out bit by bit.
class FitFile {
public:
    // Seconds since 1989-12-31 00:00 UTC, `seconds` after the gun.
    static std::int64_t timeAfterGun(int seconds) { return kGunUnix - 631065600 + seconds; }

    // A definition of local type `local`: (number, size) of each field, and
    // the sizes of developer fields.
    FitFile &define(int local, int global, const std::vector<std::pair<int, int>> &fields, bool bigEndian = false,
                    const std::vector<int> &developerSizes = {})
    {
        messages_ += {byte(0x40 | (developerSizes.empty() ? 0 : 0x20) | local), 0, byte(bigEndian)};
        put(messages_, global, 2, bigEndian);
        messages_ += byte(static_cast<int>(fields.size()));
        for (const auto &[number, size] : fields)
            messages_ += {byte(number), byte(size), byte(size == 4 ? 0x86 : 0x84)};
        layouts_[local] = {fields, bigEndian, 0};
        if (!developerSizes.empty())
            messages_ += byte(static_cast<int>(developerSizes.size()));
        for (const int size : developerSizes) {
            messages_ += {0, byte(size), 0};
            layouts_[local].developerBytes += static_cast<std::size_t>(size);
        }
        return *this;
    }

    // A data message, a value for each field, developer fields 0xAB; behind
    // a compressed timestamp header when `timeOffset` is 0..31.
    FitFile &data(int local, const std::vector<std::int64_t> &values, int timeOffset = -1)
    {
        const Layout &layout = layouts_[local];
        messages_ += byte(timeOffset >= 0 ? 0x80 | local << 5 | timeOffset : local);
        for (std::size_t k = 0; k < layout.fields.size(); ++k)
            put(messages_, values.at(k), layout.fields[k].second, layout.bigEndian);
        messages_.append(layout.developerBytes, '\xAB');
        return *this;
    }

    // The header (12 or 14 bytes), the messages and the CRC.
    std::string bytes(int headerSize = 14) const
    {
        std::string file = {byte(headerSize), 0x20};
        put(file, 2140, 2, false);
        put(file, static_cast<std::int64_t>(messages_.size()), 4, false);
        file += ".FIT";
        if (headerSize == 14)
            put(file, crc(file), 2, false);
        file += messages_;
        put(file, crc(file), 2, false);
        return file;
    }

    static std::uint16_t crc(std::string_view bytes)
    {
        unsigned sum = 0;
        for (const char c : bytes) {
            sum ^= static_cast<unsigned char>(c);
            for (int bit = 0; bit < 8; ++bit)
                sum = sum & 1 ? (sum >> 1) ^ 0xA001 : sum >> 1;
        }
        return static_cast<std::uint16_t>(sum);
    }

private:
    static char byte(int value) { return static_cast<char>(value & 0xFF); }
    static void put(std::string &out, std::int64_t value, int size, bool bigEndian)
    {
        for (int k = 0; k < size; ++k)
            out += byte(static_cast<int>(static_cast<std::uint64_t>(value) >> 8 * (bigEndian ? size - 1 - k : k) & 0xFF));
    }

    struct Layout {
        std::vector<std::pair<int, int>> fields;
        bool bigEndian;
        std::size_t developerBytes;
    } layouts_[16];
    std::string messages_;
};
// A VKX row: its one-byte key, then the payload's fields as this machine
// lays them out, little-endian on the machines Keelrun is built for.
template <typename... Fields>
std::string vkxRow(unsigned char key, Fields... fields)
{
    static_assert(std::endian::native == std::endian::little);
    std::string row(1, static_cast<char>(key));
    (row.append(reinterpret_cast<const char *>(&fields), sizeof fields), ...);
    return row;
}

// The page header that starts a VKX log (format version 4, VKX 1.3), and the
// rows of a position (1e-7 degrees), a race timer event and a pinged line
// end (0 the pin, 1 the boat), at Unix milliseconds.
inline const std::string kVkxHeader = vkxRow(0xFF, std::uint8_t{4}, std::array<char, 6>{});
inline std::string vkxPosition(std::uint64_t ms, std::int32_t lat, std::int32_t lon)
{
    return vkxRow(0x02, ms, lat, lon, std::array<float, 7>{});  // then speed, course, altitude, orientation
}
inline std::string vkxTimer(std::uint64_t ms, std::uint8_t event) { return vkxRow(0x04, ms, event, std::int32_t{0}); }
inline std::string vkxPing(std::uint64_t ms, std::uint8_t end, float lat, float lon) { return vkxRow(0x05, ms, end, lat, lon); }

}  // namespace keelrun::test
