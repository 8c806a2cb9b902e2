// CSV: tracks exported by apps, plotters and spreadsheets as a table whose
// first row names the columns:
//   Timestamp,Lat,Lon,SOG,COG
//   2025-06-21T11:18:34.2Z,39.4077,-0.3233,5.2,211
// Only the time, latitude and longitude columns are read, found by their
// names; the others may be anything. Fields are separated by commas, or by
// semicolons where the header has semicolons and no comma (as spreadsheets
// write in locales with a decimal comma), and may be quoted ("...").
// Times are ISO 8601, Unix seconds or Unix milliseconds, or a time of day
// with the day in a column of its own ("Date,Time,Latitude,Longitude");
// coordinates are decimal degrees.

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/line_splitter.h"
#include "base/numbers.h"
#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

enum Column { kTime, kLatitude, kLongitude, kColumnCount };

// Column names, lower case without blanks, "_" and "-": "GPS Time",
// "date_time" and "Date-Time" are names as well.
struct ColumnName {
    std::string_view name;
    Column column;
};
constexpr std::array<ColumnName, 11> kColumnNames{{
    {"time", kTime},
    {"timestamp", kTime},
    {"utc", kTime},
    {"datetime", kTime},
    {"gpstime", kTime},
    {"lat", kLatitude},
    {"latitude", kLatitude},
    {"lon", kLongitude},
    {"lng", kLongitude},
    {"long", kLongitude},
    {"longitude", kLongitude},
}};

// A number this large is a Unix time in milliseconds: in seconds it would
// be more than 3000 years away.
constexpr double kMillisecondsFrom = 1e11;

// The next line of `bytes` from `from`, without its line end; `from`
// moves past it.
std::string_view nextLine(std::string_view bytes, std::size_t &from)
{
    const std::size_t end = std::min(bytes.find('\n', from), bytes.size());
    std::string_view line = bytes.substr(from, end - from);
    from = end + 1;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The fields of `row` split at `separator` into `fields`, up to `most` of
// them, trimmed. A field in double quotes may hold the separator; the
// quotes are taken off, and a doubled quote inside is left as it is (it is
// no part of a time or a number).
void splitRow(std::string_view row, char separator, std::size_t most, std::vector<std::string_view> &fields)
{
    fields.clear();
    for (std::size_t at = 0; fields.size() < most && at <= row.size();) {
        const std::size_t start = std::min(row.find_first_not_of(" \t", at), row.size());
        std::size_t end;
        if (start < row.size() && row[start] == '"') {
            std::size_t close = row.find('"', start + 1);
            while (close != std::string_view::npos && close + 1 < row.size() && row[close + 1] == '"')
                close = row.find('"', close + 2);
            close = std::min(close, row.size());
            fields.push_back(row.substr(start + 1, close - start - 1));
            end = std::min(row.find(separator, close), row.size());
        } else {
            end = std::min(row.find(separator, start), row.size());
            fields.push_back(trimmed(row.substr(start, end - start)));
        }
        at = end + 1;
    }
}

// A column name as kColumnNames holds it.
std::string foldedName(std::string_view name)
{
    std::string folded;
    for (const char c : name) {
        if (c != ' ' && c != '_' && c != '-' && c != '\t')
            folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return folded;
}

// The header row and what it tells: the separator, and where the time,
// latitude and longitude columns are (the first of each name), and a date
// column, when the time column holds only the time of day.
struct Header {
    std::string_view text;
    char separator = ',';
    std::array<int, kColumnCount> columns{-1, -1, -1};
    int dateColumn = -1;
    std::size_t rowsFrom = 0;  // where the first row after the header starts

    bool complete() const { return std::none_of(columns.begin(), columns.end(), [](int c) { return c < 0; }); }
    std::size_t fieldsNeeded() const
    {
        return static_cast<std::size_t>(std::max(*std::max_element(columns.begin(), columns.end()), dateColumn) + 1);
    }
};

Header readHeader(std::string_view bytes)
{
    Header header;
    if (bytes.starts_with("\xEF\xBB\xBF"))  // a UTF-8 byte-order mark
        header.rowsFrom = 3;
    while (header.rowsFrom < bytes.size() && header.text.empty())
        header.text = trimmed(nextLine(bytes, header.rowsFrom));
    const bool semicolons = header.text.find(';') != std::string_view::npos && header.text.find(',') == std::string_view::npos;
    header.separator = semicolons ? ';' : ',';
    std::vector<std::string_view> names;
    splitRow(header.text, header.separator, header.text.size() + 1, names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string folded = foldedName(names[i]);
        const auto known = std::find_if(kColumnNames.begin(), kColumnNames.end(), [&](const ColumnName &c) { return c.name == folded; });
        if (known != kColumnNames.end() && header.columns[known->column] < 0)
            header.columns[known->column] = static_cast<int>(i);
        if (folded == "date" && header.dateColumn < 0)
            header.dateColumn = static_cast<int>(i);
    }
    return header;
}

// A time field: a plain number is a Unix time, in seconds or milliseconds;
// anything else is read as ISO 8601, with "T" or a blank between date and
// clock. Fractions of a second are kept.
std::optional<DateTime> rowTime(std::string_view text, DateMemo &dates)
{
    double number;
    if (parseNumber(text, number))
        return fromUnixTime(number > kMillisecondsFrom ? number / 1000 : number);
    const auto time = isoTime(text, "Tt ", dates);
    return time ? std::optional<DateTime>(time->exact()) : std::nullopt;
}

// Reads the rows after the header into the sink.
class RowReader {
public:
    RowReader(std::string_view bytes, const Header &header, FixSink &sink) : bytes_(bytes), header_(header), sink_(sink) {}

    void read(std::string_view row)
    {
        splitRow(row, header_.separator, header_.fieldsNeeded(), fields_);
        if (fields_.size() < header_.fieldsNeeded()) {
            damaged(row, "a row with time, latitude and longitude");
            return;
        }
        const std::string_view lat = field(kLatitude), lon = field(kLongitude);
        if (lat.empty() && lon.empty())
            return;  // no fix at that moment
        double latitude, longitude;
        if (!parseNumber(lat, latitude))
            return damaged(lat, "a number of degrees");
        if (!parseNumber(lon, longitude))
            return damaged(lon, "a number of degrees");
        const auto utc = rowTime(timeText(), dates_);
        if (!utc)
            return damaged(field(kTime), "an ISO 8601 or Unix time");
        sink_.add(*utc, latitude * 60.0, longitude * 60.0);
    }

private:
    std::string_view field(Column column) const { return fields_[static_cast<std::size_t>(header_.columns[column])]; }

    // The row's time, with the day from the date column put in front of a
    // time of day ("11:18:34", no "-" or "/" in it).
    std::string_view timeText()
    {
        const std::string_view time = field(kTime);
        if (header_.dateColumn < 0 || time.find_first_of("-/") != std::string_view::npos)
            return time;
        const std::string_view date = fields_[static_cast<std::size_t>(header_.dateColumn)];
        dateAndTime_.assign(date).append(1, 'T').append(time);
        return dateAndTime_;
    }

    void damaged(std::string_view text, const char *expected)
    {
        passOverDamaged(sink_, bytes_, static_cast<std::size_t>(text.data() - bytes_.data()), text, expected);
    }

    std::string_view bytes_;
    const Header &header_;
    FixSink &sink_;
    std::vector<std::string_view> fields_;
    std::string dateAndTime_;
    DateMemo dates_;
};

// "time", "latitude and longitude", "time, latitude and longitude".
std::string listed(const std::vector<const char *> &names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += std::string(i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

}  // namespace

void readCsv(std::string_view bytes, const TrackContext &, FixSink &sink)
{
    const Header header = readHeader(bytes);
    if (!header.complete())
        return;
    RowReader reader(bytes, header, sink);
    for (std::size_t from = header.rowsFrom; from < bytes.size();) {
        const std::string_view row = nextLine(bytes, from);
        if (!trimmed(row).empty())
            reader.read(row);
    }
}

QString csvWithoutColumns(std::string_view bytes)
{
    const Header header = readHeader(bytes);
    std::vector<const char *> missing;
    const char *names[kColumnCount] = {"time", "latitude", "longitude"};
    for (int c = 0; c < kColumnCount; ++c) {
        if (header.columns[c] < 0)
            missing.push_back(names[c]);
    }
    if (missing.empty())
        return {};
    constexpr std::size_t kShownHeader = 80;
    const std::string_view shown = header.text.substr(0, kShownHeader);
    return QStringLiteral("no %1 %2 in the header \"%3%4\"")
        .arg(QString::fromStdString(listed(missing)), QLatin1String(missing.size() == 1 ? "column" : "columns"),
             QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())),
             QLatin1String(shown.size() < header.text.size() ? "..." : ""));
}

}  // namespace keelrun
