#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <numbers>

#include "civil_time.h"
#include "track_writers.h"

namespace keelrun::sim {
namespace {

// Degrees and decimal minutes without the hemisphere: "3452.50000" or
// "13545.00000", whole degrees padded to `degreeDigits`.
std::string degreesMinutes(double degrees, int degreeDigits)
{
    const long long hundredThousandths = std::llround(std::fabs(degrees) * 60 * 100000);
    const long long whole = hundredThousandths / 6000000;
    const long long rest = hundredThousandths % 6000000;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld%02lld.%05lld", degreeDigits, whole, rest / 100000, rest % 100000);
    return buffer;
}

void appendLine(QByteArray &out, const char *text)
{
    out.append(text);
    out.append("\r\n");
}

// Speed (knots) and course (degrees) over ground into fix i, for the RMC sentence.
std::pair<double, double> motionInto(const std::vector<Fix> &fixes, std::size_t i)
{
    const std::int64_t milliseconds = i == 0 ? 0 : unixMilliseconds(fixes[i]) - unixMilliseconds(fixes[i - 1]);
    if (milliseconds <= 0)
        return {0, 0};
    const double dn = (fixes[i].lat - fixes[i - 1].lat) * 60;
    const double de = (fixes[i].lon - fixes[i - 1].lon) * 60 * std::cos(fixes[i].lat * std::numbers::pi / 180);
    const double knots = std::hypot(dn, de) * 3600'000 / static_cast<double>(milliseconds);
    double course = std::atan2(de, dn) * 180 / std::numbers::pi;
    if (course < 0)
        course += 360;
    return {knots, course};
}

// An NMEA sentence: "$", the body, "*" and the XOR of the body's bytes in hex.
void appendSentence(QByteArray &out, const std::string &body)
{
    unsigned char sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    out.append('$');
    out.append(body.data(), static_cast<qsizetype>(body.size()));
    out.append(tail);
}

// "2009-05-03T02:15:30Z", or "2009-05-03T02:15:30.100Z" in a log written
// several times a second.
std::string isoTime(const Fix &f, bool fractions)
{
    const CivilTime c = fromUnix(f.time);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute, c.second);
    std::string iso = text;
    if (fractions) {
        std::snprintf(text, sizeof text, ".%03d", f.millisecond);
        iso += text;
    }
    return iso + "Z";
}

}  // namespace

QByteArray writeGpx(const std::vector<Fix> &fixes, const std::string &trackName)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(fixes.size() * 110 + 400));
    appendLine(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    appendLine(out, "<gpx version=\"1.1\" creator=\"keelrun-simulate\" xmlns=\"http://www.topografix.com/GPX/1/1\">");
    appendLine(out, ("<trk><name>" + trackName + "</name><trkseg>").c_str());
    const bool fractions = betweenSeconds(fixes);
    for (const Fix &f : fixes) {
        char line[192];
        std::snprintf(line, sizeof line, "<trkpt lat=\"%.9f\" lon=\"%.9f\"><ele>%.1f</ele><time>%s</time></trkpt>", f.lat,
                      f.lon, f.elevation, isoTime(f, fractions).c_str());
        appendLine(out, line);
    }
    appendLine(out, "</trkseg></trk>");
    appendLine(out, "</gpx>");
    return out;
}

QByteArray writeHemisphereText(const std::vector<Fix> &fixes)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(fixes.size() * 56 + 200));
    appendLine(out, "H  TRACK LOG");
    appendLine(out, "H  LATITUDE    LONGITUDE    DATE       TIME     ALT");
    for (const Fix &f : fixes) {
        const CivilTime c = fromUnix(f.time);
        char line[96];
        std::snprintf(line, sizeof line, "T %c%s %c%s %04d-%02d-%02d %02d:%02d:%02d %.1f", f.lat < 0 ? 'S' : 'N',
                      degreesMinutes(f.lat, 2).c_str(), f.lon < 0 ? 'W' : 'E', degreesMinutes(f.lon, 3).c_str(),
                      c.year, c.month, c.day, c.hour, c.minute, c.second, f.elevation);
        appendLine(out, line);
    }
    return out;
}

QByteArray writeTcx(const std::vector<Fix> &fixes)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(fixes.size() * 200 + 400));
    const bool fractions = betweenSeconds(fixes);
    const std::string start = isoTime(fixes.empty() ? Fix{} : fixes.front(), fractions);
    appendLine(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    appendLine(out, "<TrainingCenterDatabase xmlns=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2\">");
    appendLine(out, ("<Activities><Activity Sport=\"Other\"><Id>" + start + "</Id><Lap StartTime=\"" + start + "\"><Track>").c_str());
    for (const Fix &f : fixes) {
        char line[320];
        std::snprintf(line, sizeof line,
                      "<Trackpoint><Time>%s</Time><Position><LatitudeDegrees>%.9f</LatitudeDegrees>"
                      "<LongitudeDegrees>%.9f</LongitudeDegrees></Position><AltitudeMeters>%.1f</AltitudeMeters></Trackpoint>",
                      isoTime(f, fractions).c_str(), f.lat, f.lon, f.elevation);
        appendLine(out, line);
    }
    appendLine(out, "</Track></Lap></Activity></Activities>");
    appendLine(out, "</TrainingCenterDatabase>");
    return out;
}

QByteArray writeCsv(const std::vector<Fix> &fixes)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(fixes.size() * 64 + 40));
    appendLine(out, "timestamp,latitude,longitude,sog");
    const bool fractions = betweenSeconds(fixes);
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "%s,%.9f,%.9f,%.1f", isoTime(fixes[i], fractions).c_str(), fixes[i].lat, fixes[i].lon,
                      motionInto(fixes, i).first);
        appendLine(out, line);
    }
    return out;
}

QByteArray writeNmea(const std::vector<Fix> &fixes)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(fixes.size() * 150));
    const bool fractions = betweenSeconds(fixes);
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        const Fix &f = fixes[i];
        const CivilTime c = fromUnix(f.time);
        const std::string lat = degreesMinutes(f.lat, 2) + (f.lat < 0 ? ",S" : ",N");
        const std::string lon = degreesMinutes(f.lon, 3) + (f.lon < 0 ? ",W" : ",E");
        char clock[16], rest[96];
        if (fractions)
            std::snprintf(clock, sizeof clock, "%02d%02d%02d.%03d", c.hour, c.minute, c.second, f.millisecond);
        else
            std::snprintf(clock, sizeof clock, "%02d%02d%02d", c.hour, c.minute, c.second);
        std::snprintf(rest, sizeof rest, ",1,09,0.9,%.1f,M,36.5,M,,", f.elevation);
        appendSentence(out, std::string("GPGGA,") + clock + "," + lat + "," + lon + rest);
        const auto [knots, course] = motionInto(fixes, i);
        std::snprintf(rest, sizeof rest, ",%.1f,%.1f,%02d%02d%02d,,,A", knots, course, c.day, c.month, c.year % 100);
        appendSentence(out, std::string("GPRMC,") + clock + ",A," + lat + "," + lon + rest);
    }
    return out;
}

}  // namespace keelrun::sim
