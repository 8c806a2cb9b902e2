#include "track_decoders.h"

#include <bit>
#include <cstdlib>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimeZone>

namespace keelrun::sim::test {
namespace {

std::int32_t int32At(const QByteArray &b, qsizetype at)
{
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + k]);
    return static_cast<std::int32_t>(v);
}

float floatAt(const QByteArray &b, qsizetype at) { return std::bit_cast<float>(int32At(b, at)); }

std::vector<DecodedFix> fixedRecords(const QByteArray &b, int size)
{
    std::vector<DecodedFix> fixes;
    for (qsizetype at = 0; at + size <= b.size(); at += size)
        fixes.push_back({int32At(b, at), floatAt(b, at + 4), floatAt(b, at + 8)});
    return fixes;
}

double fromSemicircles(std::int32_t v) { return v * 180.0 / 2147483648.0; }

std::uint8_t byteAt(const QByteArray &b, qsizetype at) { return static_cast<std::uint8_t>(b[at]); }

std::int64_t utcSeconds(const QString &text, const QString &format)
{
    QDateTime t = QDateTime::fromString(text, format);
    if (!t.isValid())
        return -1;
    t.setTimeZone(QTimeZone::utc());
    return t.toSecsSinceEpoch();
}

// "N3452.50000" or "3452.50000" with a separate hemisphere: degrees and
// decimal minutes, two digits of whole minutes before the point.
double degreesFromMinutesText(QString text, QChar hemisphere)
{
    const int point = static_cast<int>(text.indexOf('.'));
    const double degrees = text.left(point - 2).toDouble();
    const double minutes = text.mid(point - 2).toDouble();
    const double value = degrees + minutes / 60;
    return hemisphere == 'S' || hemisphere == 'W' ? -value : value;
}

}  // namespace

std::vector<DecodedFix> decodeTrb(const QByteArray &bytes) { return fixedRecords(bytes, 12); }

int trlRecordSize(const QByteArray &b)
{
    if (b.size() < 24)
        return 0;
    const std::int64_t t0 = int32At(b, 0), t16 = int32At(b, 16), t20 = int32At(b, 20);
    return std::llabs(t0 - t16) < std::llabs(t0 - t20) ? 16 : 20;
}

std::vector<DecodedFix> decodeTrl(const QByteArray &bytes)
{
    const int size = trlRecordSize(bytes);
    return size ? fixedRecords(bytes, size) : std::vector<DecodedFix>{};
}

std::vector<DecodedFix> decodeGdb(const QByteArray &b)
{
    std::vector<DecodedFix> fixes;
    for (qsizetype i = 30; i <= b.size() - 30;) {
        const bool long24 = byteAt(b, i) == 1 && byteAt(b, i - 10) == 0 && byteAt(b, i - 9) == 0 &&
                            byteAt(b, i + 9) == 1 && byteAt(b, i + 14) == 0 && byteAt(b, i + 15) == 0;
        const bool short16 = !long24 && byteAt(b, i - 1) == 0 && byteAt(b, i) == 1 && byteAt(b, i - 11) == 0 &&
                             byteAt(b, i - 10) == 0 && byteAt(b, i + 5) == 0 && byteAt(b, i + 6) == 0;
        if (long24) {
            fixes.push_back({int32At(b, i + 10), fromSemicircles(int32At(b, i - 8)), fromSemicircles(int32At(b, i - 4))});
            i += 21;
        } else if (short16) {
            fixes.push_back({int32At(b, i + 1), fromSemicircles(int32At(b, i - 9)), fromSemicircles(int32At(b, i - 5))});
            i += 13;
        } else {
            ++i;
        }
    }
    return fixes;
}

std::vector<DecodedFix> decodeMps(const QByteArray &b)
{
    std::vector<DecodedFix> fixes;
    for (qsizetype i = 30; i <= b.size() - 30;) {
        bool found = byteAt(b, i) <= 1 && byteAt(b, i - 10) == 0 && byteAt(b, i - 9) == 0 && byteAt(b, i + 9) == 1;
        for (int k = 14; found && k <= 22; ++k)
            found = byteAt(b, i + k) == 0;
        if (found) {
            fixes.push_back({int32At(b, i + 10), fromSemicircles(int32At(b, i - 8)), fromSemicircles(int32At(b, i - 4))});
            i += 21;
        } else {
            ++i;
        }
    }
    return fixes;
}

std::vector<DecodedFix> decodeGpx(const QByteArray &bytes)
{
    static const QRegularExpression point(QStringLiteral(
        "<trkpt\\s+lat=\"([-0-9.]+)\"\\s+lon=\"([-0-9.]+)\"\\s*>.*?<time>([0-9T:-]+)Z?</time>.*?</trkpt>"));
    std::vector<DecodedFix> fixes;
    for (auto it = point.globalMatch(QString::fromUtf8(bytes)); it.hasNext();) {
        const auto m = it.next();
        fixes.push_back({utcSeconds(m.captured(3), "yyyy-MM-ddTHH:mm:ss"), m.captured(1).toDouble(),
                         m.captured(2).toDouble()});
    }
    return fixes;
}

std::vector<DecodedFix> decodeHemisphereText(const QByteArray &bytes)
{
    std::vector<DecodedFix> fixes;
    for (const QByteArray &raw : bytes.split('\n')) {
        const QStringList f = QString::fromLatin1(raw).trimmed().split(' ', Qt::SkipEmptyParts);
        if (f.size() != 6 || f[0] != "T")
            continue;
        fixes.push_back({utcSeconds(f[3] + " " + f[4], "yyyy-MM-dd HH:mm:ss"),
                         degreesFromMinutesText(f[1].mid(1), f[1][0]), degreesFromMinutesText(f[2].mid(1), f[2][0])});
    }
    return fixes;
}

std::vector<DecodedFix> decodeNmea(const QByteArray &bytes)
{
    std::vector<DecodedFix> fixes;
    for (const QByteArray &raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype star = line.indexOf('*');
        if (!line.startsWith('$') || star < 0)
            continue;
        unsigned sum = 0;
        for (qsizetype k = 1; k < star; ++k)
            sum ^= byteAt(line, k);
        if (line.mid(star + 1).toUInt(nullptr, 16) != sum)
            continue;
        const QStringList f = QString::fromLatin1(line.left(star)).split(',');
        if (f[0] != "$GPRMC" || f.size() < 10 || f[2] != "A")
            continue;
        // ddmmyy of the 21st century and hhmmss
        const QString when = "20" + f[9].mid(4, 2) + f[9].mid(2, 2) + f[9].left(2) + f[1].left(6);
        fixes.push_back({utcSeconds(when, "yyyyMMddHHmmss"),
                         degreesFromMinutesText(f[3], f[4][0]), degreesFromMinutesText(f[5], f[6][0])});
    }
    return fixes;
}

std::vector<DecodedFix> decodeTrackFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == "trb") return decodeTrb(bytes);
    if (ext == "trl") return decodeTrl(bytes);
    if (ext == "gdb") return decodeGdb(bytes);
    if (ext == "mps") return decodeMps(bytes);
    if (ext == "gpx") return decodeGpx(bytes);
    if (ext == "dtr" || ext == "trk") return decodeHemisphereText(bytes);
    if (ext == "log") return decodeNmea(bytes);
    return {};
}

}  // namespace keelrun::sim::test
