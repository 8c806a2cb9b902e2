// FIT: Garmin's binary activity files, which watches and handhelds write.
//
// A file is a header, a run of messages and a CRC:
//   header   byte 0      its size, 12 or 14
//            byte 1      protocol version, bytes 2..3 profile version
//            bytes 4..7  size of the messages that follow (little-endian)
//            bytes 8..11 ".FIT"
//            bytes 12..13 (14-byte header) CRC of bytes 0..11, 0 when not set
//   messages each behind a one-byte record header
//   CRC      two bytes, little-endian, of the header and the messages
// Several such files may follow one another in one file (a chain); each is
// read in turn, on its own definitions.
//
// A message is a definition or data. A definition message gives the layout
// of the data messages of one local type (0..15): the byte order, the
// global message number (20 is a record, a fix of the track) and each
// field's number and size; a flag in its header adds developer fields,
// which this reader passes over by their sizes. A data message holds the
// fields in that order.
//
// A record header with its top bit set is a compressed timestamp header:
// a data message of local type 0..3 (bits 5 and 6) at a time given by its
// low five bits, the seconds past the last full timestamp rounded down to
// 32 seconds, a step of 32 on when they are fewer than the last one's.
//
// Of a record only three fields are read: 253, the time (uint32 seconds
// since 1989-12-31 00:00 UTC), and 0 and 1, latitude and longitude (sint32
// semicircles). A record without a position (0x7FFFFFFF) is a moment the
// device had no fix.

#include <algorithm>
#include <array>

#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

constexpr std::size_t kShortHeader = 12;
constexpr std::size_t kHeaderWithCrc = 14;
constexpr std::size_t kCrcSize = 2;
constexpr std::string_view kSignature = ".FIT";

constexpr std::uint16_t kRecordMessage = 20;
constexpr unsigned char kTimestampField = 253;
constexpr unsigned char kLatitudeField = 0;
constexpr unsigned char kLongitudeField = 1;

constexpr std::uint32_t kNoTime = 0xFFFFFFFF;
constexpr std::int32_t kNoPosition = 0x7FFFFFFF;
// Smaller times count seconds from the moment the device was switched on,
// not from 1989: no date.
constexpr std::uint32_t kFirstDate = 0x10000000;
constexpr std::int64_t kFitEpochUnixSeconds = 631065600;  // 1989-12-31 00:00 UTC

// The CRC-16 of FIT files: polynomial x^16 + x^15 + x^2 + 1, bits taken
// lowest first (0xA001 reflected), starting from 0.
constexpr std::array<std::uint16_t, 256> kCrcTable = [] {
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[byte] = static_cast<std::uint16_t>(crc);
    }
    return table;
}();

std::uint16_t fitCrc(std::string_view bytes)
{
    unsigned crc = 0;
    for (const char c : bytes)
        crc = (crc >> 8) ^ kCrcTable[(crc ^ static_cast<unsigned char>(c)) & 0xFF];
    return static_cast<std::uint16_t>(crc);
}

unsigned byteAt(std::string_view bytes, std::size_t at) { return static_cast<unsigned char>(bytes[at]); }

std::uint16_t uint16At(std::string_view bytes, std::size_t at, bool bigEndian)
{
    const unsigned a = byteAt(bytes, at), b = byteAt(bytes, at + 1);
    return static_cast<std::uint16_t>(bigEndian ? a << 8 | b : b << 8 | a);
}

std::uint32_t uint32At(std::string_view bytes, std::size_t at, bool bigEndian)
{
    const auto u = static_cast<std::uint32_t>(int32At(bytes, at));
    return bigEndian ? __builtin_bswap32(u) : u;
}

// What a definition message says of the data messages of its local type:
// their size after the record header, and where the fields read lie in
// them (kAbsent when not there, or not four bytes long).
struct Layout {
    static constexpr std::uint32_t kAbsent = 0xFFFFFFFF;
    bool defined = false;
    bool bigEndian = false;
    bool record = false;
    std::uint32_t size = 0;
    std::uint32_t timeAt = kAbsent, latAt = kAbsent, lonAt = kAbsent;
};

// Reads a file, or a chain of them, into a sink, and counts what it finds
// for the description of a file that gives no fix. Without a sink it only
// counts.
class FitReader {
public:
    FitReader(std::string_view bytes, FixSink *sink) : bytes_(bytes), sink_(sink) {}

    void readChain()
    {
        std::size_t at = 0;
        do {
            at = readFile(at);
        } while (at < bytes_.size());
    }

    int records() const { return records_; }
    int recordsWithPosition() const { return withPosition_; }
    int messages() const { return messages_; }
    const QString &notFit() const { return notFit_; }

private:
    // Reads the file whose header starts at `start`; returns where the next
    // one of a chain would start, or the end of the bytes when none can.
    std::size_t readFile(std::size_t start)
    {
        const std::size_t left = bytes_.size() - start;
        const std::size_t headerSize = left > 0 ? byteAt(bytes_, start) : 0;
        QString wrong;
        if (left < kShortHeader)
            wrong = QStringLiteral("%1 bytes are too few for a FIT header").arg(left);
        else if (bytes_.substr(start + 8, 4) != kSignature)
            wrong = QStringLiteral("no \".FIT\" at bytes %1 to %2").arg(start + 8).arg(start + 11);
        else if (headerSize < kShortHeader)
            wrong = QStringLiteral("a header size of %1 bytes, less than 12").arg(headerSize);
        else if (headerSize > left)
            wrong = QStringLiteral("the file ends inside its %1-byte header").arg(headerSize);
        if (!wrong.isEmpty()) {
            if (start == 0)
                notFit_ = wrong;
            else
                damaged(start, QStringLiteral("%1 bytes follow the FIT file, but are no FIT file of a chain: %2")
                                   .arg(left)
                                   .arg(wrong));
            return bytes_.size();
        }
        if (headerSize >= kHeaderWithCrc) {
            const std::uint16_t written = uint16At(bytes_, start + 12, false);
            const std::uint16_t computed = fitCrc(bytes_.substr(start, 12));
            if (written != 0 && written != computed)
                warn(QStringLiteral("the CRC of the FIT header at byte %1 is %2, but its bytes give %3; the file is read all the same")
                         .arg(start).arg(hex(written), hex(computed)));
        }

        const std::uint64_t dataEnd = start + headerSize + std::uint64_t{static_cast<std::uint32_t>(int32At(bytes_, start + 4))};
        const auto end = static_cast<std::size_t>(std::min<std::uint64_t>(dataEnd, bytes_.size()));
        layouts_.fill(Layout{});
        hasTime_ = false;
        const bool allRead = readMessages(start + headerSize, end);
        if (dataEnd + kCrcSize > bytes_.size()) {
            const char *what = dataEnd > bytes_.size() ? "the file ends before the end of its messages at byte %1"
                                                        : "the file ends before its CRC at byte %1";
            if (allRead)  // cut off between two messages, or before the CRC
                damaged(bytes_.size(), QString::fromLatin1(what).arg(dataEnd));
            return bytes_.size();
        }
        const std::uint16_t written = uint16At(bytes_, end, false);
        const std::uint16_t computed = fitCrc(bytes_.substr(start, end - start));
        if (written != computed)
            warn(QStringLiteral("the CRC at byte %1 is %2, but the bytes before it give %3: the file is damaged, "
                                "and its fixes are read as they are")
                     .arg(end).arg(hex(written), hex(computed)));
        return end + kCrcSize;
    }

    // The messages from `at` to `end`; false when one of them could not be
    // read, and with it none after it.
    bool readMessages(std::size_t at, std::size_t end)
    {
        while (at < end) {
            const unsigned header = byteAt(bytes_, at);
            std::size_t next;
            if (header & 0x80) {
                // The time of a compressed header follows on from the last
                // one, a step of 32 seconds on when its five bits are fewer.
                if (hasTime_)
                    lastTime_ += (header - lastTime_) & 0x1F;
                next = readData(at, end, header >> 5 & 0x3, hasTime_ ? lastTime_ : kNoTime);
            } else if (header & 0x40) {
                next = readDefinition(at, end, header & 0x0F, (header & 0x20) != 0);
            } else {
                next = readData(at, end, header & 0x0F, kNoTime);
            }
            if (next == 0)
                return false;
            at = next;
        }
        return true;
    }

    // The definition message at `at`; returns where the next message
    // starts, 0 when it runs past `end`.
    std::size_t readDefinition(std::size_t at, std::size_t end, unsigned local, bool developerFields)
    {
        // Header, reserved byte, architecture, global number, field count.
        std::size_t fields = at + 6;
        if (fields > end)
            return runsPast(at, end, "definition message");
        const unsigned architecture = byteAt(bytes_, at + 2);
        if (architecture > 1) {
            damaged(at, QStringLiteral("a definition message of architecture %1, neither 0 (little-endian) nor 1 (big-endian)")
                            .arg(architecture) + notRead(at, end));
            return 0;
        }
        Layout layout;
        layout.defined = true;
        layout.bigEndian = architecture == 1;
        layout.record = uint16At(bytes_, at + 3, layout.bigEndian) == kRecordMessage;
        const std::size_t fieldsEnd = fields + 3 * std::size_t{byteAt(bytes_, at + 5)};
        if (fieldsEnd > end)
            return runsPast(at, end, "definition message");
        for (; fields < fieldsEnd; fields += 3) {
            const unsigned number = byteAt(bytes_, fields), size = byteAt(bytes_, fields + 1);
            if (size == 4) {
                if (number == kTimestampField)
                    layout.timeAt = layout.size;
                else if (layout.record && number == kLatitudeField)
                    layout.latAt = layout.size;
                else if (layout.record && number == kLongitudeField)
                    layout.lonAt = layout.size;
            }
            layout.size += size;
        }
        if (developerFields) {
            if (fields >= end)
                return runsPast(at, end, "definition message");
            const std::size_t developerEnd = fields + 1 + 3 * std::size_t{byteAt(bytes_, fields)};
            if (developerEnd > end)
                return runsPast(at, end, "definition message");
            for (fields += 1; fields < developerEnd; fields += 3)
                layout.size += byteAt(bytes_, fields + 1);
            fields = developerEnd;
        }
        layouts_[local] = layout;
        return fields;
    }

    // The data message at `at`, of local type `local`, at the time of its
    // compressed header (kNoTime for none); returns where the next message
    // starts, 0 when it cannot be read.
    std::size_t readData(std::size_t at, std::size_t end, unsigned local, std::uint32_t headerTime)
    {
        const Layout &layout = layouts_[local];
        if (!layout.defined) {
            damaged(at, QStringLiteral("a data message of local type %1, which no definition message before it defines")
                            .arg(local) + notRead(at, end));
            return 0;
        }
        const std::size_t fields = at + 1;
        if (layout.size > end - fields)
            return runsPast(at, end, layout.record ? "record message" : "data message");
        ++messages_;
        std::uint32_t time = headerTime;
        if (layout.timeAt != Layout::kAbsent) {
            if (const std::uint32_t written = uint32At(bytes_, fields + layout.timeAt, layout.bigEndian); written != kNoTime) {
                time = lastTime_ = written;
                hasTime_ = true;
            }
        }
        if (!layout.record)
            return fields + layout.size;
        ++records_;
        if (layout.latAt == Layout::kAbsent || layout.lonAt == Layout::kAbsent)
            return fields + layout.size;
        const auto lat = static_cast<std::int32_t>(uint32At(bytes_, fields + layout.latAt, layout.bigEndian));
        const auto lon = static_cast<std::int32_t>(uint32At(bytes_, fields + layout.lonAt, layout.bigEndian));
        if (lat == kNoPosition || lon == kNoPosition)
            return fields + layout.size;
        ++withPosition_;
        if (sink_) {
            if (time == kNoTime || time < kFirstDate)
                sink_->skip();
            else
                sink_->addUnixMilliseconds((time + kFitEpochUnixSeconds) * 1000, semicirclesToMinutes(lat), semicirclesToMinutes(lon));
        }
        return fields + layout.size;
    }

    // A message at `at` that does not end before `end`: damaged, and with
    // it the rest of the file.
    std::size_t runsPast(std::size_t at, std::size_t end, const char *what)
    {
        if (end == bytes_.size()) {
            damaged(at, QStringLiteral("the file ends inside a %1").arg(QLatin1String(what)));
        } else {
            damaged(at, QStringLiteral("a %1 that runs past the end of the messages at byte %2").arg(QLatin1String(what)).arg(end));
        }
        return 0;
    }

    static QString notRead(std::size_t at, std::size_t end)
    {
        return QStringLiteral("; the %1 bytes from it to byte %2 are not read").arg(end - at).arg(end);
    }

    static QString hex(std::uint16_t value) { return QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0')); }

    void damaged(std::size_t at, const QString &what)
    {
        if (sink_)
            sink_->passOverDamaged([&] { return QStringLiteral("byte %1: %2").arg(at).arg(what); });
    }

    void warn(const QString &what)
    {
        if (sink_)
            sink_->warn(what);
    }

    std::string_view bytes_;
    FixSink *sink_;
    std::array<Layout, 16> layouts_{};
    std::uint32_t lastTime_ = 0;  // the last full timestamp, or one of a compressed header
    bool hasTime_ = false;
    int messages_ = 0, records_ = 0, withPosition_ = 0;
    QString notFit_;
};

}  // namespace

void readFit(std::string_view bytes, const TrackContext &, FixSink &sink)
{
    FitReader(bytes, &sink).readChain();
}

QString fitWithoutPositions(std::string_view bytes)
{
    FitReader reader(bytes, nullptr);
    reader.readChain();
    if (!reader.notFit().isEmpty())
        return QStringLiteral("not a FIT file: ") + reader.notFit();
    if (reader.messages() == 0)
        return QStringLiteral("no message of the FIT file could be read");
    if (reader.records() == 0)
        return QStringLiteral("no record messages among the FIT file's %1 messages").arg(reader.messages());
    if (reader.recordsWithPosition() == 0)
        return QStringLiteral("none of the FIT file's %1 record messages has a position").arg(reader.records());
    return {};
}

}  // namespace keelrun
