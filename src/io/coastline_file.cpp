#include "io/coastline_file.h"

#include <optional>

#include "base/line_splitter.h"
#include "base/numbers.h"
#include "base/text_file.h"

namespace keelrun {
namespace {

// Stops a reader at the first line it cannot read.
struct StopReading {
    QString why;
};

QString where(const QString &fileName, int line) { return QStringLiteral("%1:%2").arg(fileName).arg(line); }

[[noreturn]] void stop(const QString &fileName, int line, const QString &what, std::string_view text)
{
    throw StopReading{QStringLiteral("%1: %2 \"%3\"").arg(where(fileName, line), what, toQString(text))};
}

double readNumber(std::string_view field, const QString &fileName, int line, const char *what)
{
    const auto value = parseNumber(field);
    if (!value)
        stop(fileName, line, QStringLiteral("%1 is not a number:").arg(QLatin1String(what)), field);
    return *value;
}

int readInteger(std::string_view field, const QString &fileName, int line, const char *what)
{
    const auto value = parseInteger(field);
    if (!value)
        stop(fileName, line, QStringLiteral("%1 is not a whole number:").arg(QLatin1String(what)), field);
    return *value;
}

// Columns `first`..`last` (counted from 1) of a fixed-column record; short
// lines give what they have.
std::string_view columns(std::string_view line, std::size_t first, std::size_t last)
{
    if (line.size() < first)
        return {};
    return line.substr(first - 1, last - first + 1);
}

template <typename ReadLine>
QString readLines(std::string_view text, ReadLine readLine)
{
    try {
        forEachLine(text, [&](std::string_view line, int number) {
            if (!trimmed(line).empty())
                readLine(line, number);
        });
    } catch (const StopReading &stopped) {
        return stopped.why;
    }
    return {};
}

// One cell of the detailed files: 5' of latitude by 7.5' of longitude.
struct Cell {
    double lat = 0, lon = 0;
    bool inUse = false;
};

Cell readCell(std::string_view line, const CoastWindow &window, const QString &fileName, int number)
{
    const std::string_view code = columns(line, 3, 8);
    const auto digits = [&](std::size_t at, std::size_t count) { return parseInteger(code.substr(at, count)); };
    const auto pq = code.size() == 6 ? digits(0, 2) : std::nullopt, rs = code.size() == 6 ? digits(2, 2) : std::nullopt;
    const auto t = code.size() == 6 ? digits(4, 1) : std::nullopt, u = code.size() == 6 ? digits(5, 1) : std::nullopt;
    if (!pq || !rs || !t || !u || *pq < 0 || *rs < 0 || *t < 0 || *u < 0)
        stop(fileName, number, QStringLiteral("columns 3-8 are not a grid code:"), code);
    Cell cell;
    cell.lat = *pq * 40.0 + *t * 5.0;
    cell.lon = *rs * 60.0 + 6000 + *u * 7.5;
    cell.inUse = !(window.south - 5 >= cell.lat || cell.lat >= window.north || cell.lon >= window.east ||
                   cell.lon <= window.west - 7.5);
    return cell;
}

}  // namespace

QString readGeneralCoastline(std::string_view text, const QString &fileName, std::vector<CoastPoint> &points)
{
    return readLines(text, [&](std::string_view line, int n) {
        const SplitLine fields = splitLine(line);
        const bool start = fields.count() == 3 && (fields.field(0) == "R" || fields.field(0) == "r");
        if (!start && fields.count() != 2)
            stop(fileName, n, QStringLiteral("a point is \"R,lat,lon\" or \"lat,lon\", not"), trimmed(line));
        const int first = start ? 1 : 0;
        const double lat = readNumber(fields.field(first), fileName, n, "the latitude");
        const double lon = readNumber(fields.field(first + 1), fileName, n, "the longitude");
        points.push_back({lat, lon, start || points.empty()});
    });
}

QString readDetailedCoastline(std::string_view text, const QString &fileName, const CoastWindow &window, GeoPoint shift,
                              std::vector<CoastPoint> &points)
{
    Cell cell;
    int pointsInLine = 0, counted = 0;
    return readLines(text, [&](std::string_view line, int n) {
        if (line[0] == 'M') {
            cell = readCell(line, window, fileName, n);
            counted = 0;
            return;
        }
        if (line[0] == 'L') {
            // A count that cannot be read keeps the line's first point only.
            pointsInLine = parseInteger(trimmed(columns(line, 50, 55))).value_or(1);
            counted = 0;
            return;
        }
        if (!cell.inUse)
            return;
        for (std::size_t pair = 0; pair < 7; ++pair) {
            const std::size_t at = pair * 10 + 1;
            const int x = readInteger(trimmed(columns(line, at, at + 4)), fileName, n, "an x");
            const int y = readInteger(trimmed(columns(line, at + 5, at + 9)), fileName, n, "a y");
            if (++counted > pointsInLine)
                continue;
            points.push_back({y * 5.0 / 10000 + cell.lat + shift.lat, x * 7.5 / 10000 + cell.lon + shift.lon, counted == 1});
        }
    });
}

QString readLightList(std::string_view text, const QString &fileName, std::vector<Light> &lights)
{
    return readLines(text, [&](std::string_view line, int n) {
        const SplitLine fields = splitLine(line);
        if (fields.count() < 7)
            stop(fileName, n, QStringLiteral("a light needs seven fields:"), trimmed(line));
        // "3514.40" is 35 degrees 14.40 minutes; "13936.50" 139 degrees 36.50;
        // a leading minus sign puts it south or west.
        const auto degreesAndMinutes = [&](std::string_view field, std::size_t degreeDigits, const char *what) {
            const bool negative = !field.empty() && field.front() == '-';
            if (negative)
                field.remove_prefix(1);
            const double degrees = readInteger(field.substr(0, degreeDigits), fileName, n, what);
            const double minutes = readNumber(field.substr(std::min(field.size(), degreeDigits), 10), fileName, n, what);
            if (degrees < 0 || minutes < 0)
                stop(fileName, n, QStringLiteral("%1 is not degrees and minutes:").arg(QLatin1String(what)), field);
            return (negative ? -1 : 1) * (degrees * 60 + minutes);
        };
        Light light;
        light.name = toQString(fields.field(0));
        light.lat = degreesAndMinutes(fields.field(1), 2, "the latitude");
        light.lon = degreesAndMinutes(fields.field(2), 3, "the longitude");
        light.period = readInteger(fields.field(3), fileName, n, "the period");
        light.flashes = readInteger(fields.field(4), fileName, n, "the number of flashes");
        light.colours = toQString(fields.field(5));
        light.range = readNumber(fields.field(6), fileName, n, "the range");
        lights.push_back(light);
    });
}

}  // namespace keelrun
