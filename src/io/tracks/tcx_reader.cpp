// TCX: Garmin's Training Center XML, which sports watches and training
// apps export. Only track points matter here:
//   <Trackpoint>
//     <Time>2025-06-21T11:18:34.250Z</Time>
//     <Position>
//       <LatitudeDegrees>39.4077</LatitudeDegrees>
//       <LongitudeDegrees>-0.3233</LongitudeDegrees>
//     </Position>
//     <AltitudeMeters>2.0</AltitudeMeters>
//   </Trackpoint>
// A watch goes on writing points without <Position> (heart rate, distance)
// while it has no fix: those are no fixes and are passed over. As with GPX,
// the file is scanned for the element names rather than parsed as XML, so a
// file cut short still gives its points.

#include <optional>

#include "base/line_splitter.h"
#include "base/numbers.h"
#include "io/tracks/track_bytes.h"

namespace keelrun {
namespace {

constexpr std::string_view kPointOpen = "<Trackpoint";  // then ">", or blanks and attributes
constexpr std::string_view kPointClose = "</Trackpoint>";

struct Element {
    std::string_view open, close;
};
constexpr Element kTime{"<Time>", "</Time>"};
constexpr Element kPosition{"<Position>", "</Position>"};
constexpr Element kLatitude{"<LatitudeDegrees>", "</LatitudeDegrees>"};
constexpr Element kLongitude{"<LongitudeDegrees>", "</LongitudeDegrees>"};

// The text of `element` in `parent`, up to its closing tag or the end of the
// parent; nothing when the parent has no such element.
std::optional<std::string_view> textOf(std::string_view parent, const Element &element)
{
    const std::size_t open = parent.find(element.open);
    if (open == std::string_view::npos)
        return std::nullopt;
    const std::string_view text = parent.substr(open + element.open.size());
    return text.substr(0, text.find(element.close));
}

// Where the next track point's opening tag starts, from `from`; npos when
// there is none. "<TrackpointExtension" and the like are no track points.
std::size_t nextPoint(std::string_view bytes, std::size_t from)
{
    for (std::size_t at = bytes.find(kPointOpen, from); at != std::string_view::npos; at = bytes.find(kPointOpen, at + 1)) {
        const std::size_t after = at + kPointOpen.size();
        if (after == bytes.size() || bytes[after] == '>' || bytes[after] == '/' || isBlankOrControl(bytes[after]))
            return at;
    }
    return std::string_view::npos;
}

// Reads track points into the sink; a value that does not convert makes its
// point damaged, named by its place in `bytes`.
class PointReader {
public:
    PointReader(std::string_view bytes, FixSink &sink) : bytes_(bytes), sink_(sink) {}

    void read(std::string_view point)
    {
        const auto position = textOf(point, kPosition);
        if (!position)
            return;  // no fix at that moment
        const auto latitude = degrees(*position, kLatitude);
        const auto longitude = latitude ? degrees(*position, kLongitude) : std::nullopt;
        const auto utc = longitude ? time(point) : std::nullopt;
        if (utc)
            sink_.add(*utc, *latitude * 60.0, *longitude * 60.0);
    }

private:
    std::optional<double> degrees(std::string_view position, const Element &element)
    {
        const std::string_view text = trimmed(textOf(position, element).value_or(position));
        const auto value = parseNumber(text);
        return value ? value : damaged(text, "a number of degrees");
    }

    std::optional<DateTime> time(std::string_view point)
    {
        const std::string_view text = trimmed(textOf(point, kTime).value_or(point));
        const auto read = isoTime(text, "Tt", dates_);
        return read ? std::optional<DateTime>(read->exact()) : damaged(text, "an ISO 8601 time");
    }

    std::nullopt_t damaged(std::string_view text, const char *expected)
    {
        passOverDamaged(sink_, bytes_, static_cast<std::size_t>(text.data() - bytes_.data()), text, expected);
        return std::nullopt;
    }

    std::string_view bytes_;
    FixSink &sink_;
    DateMemo dates_;
};

}  // namespace

void readTcx(std::string_view bytes, const TrackContext &, FixSink &sink)
{
    PointReader reader(bytes, sink);
    for (std::size_t open = nextPoint(bytes, 0); open != std::string_view::npos;) {
        const std::size_t begin = open + kPointOpen.size();
        const std::size_t next = nextPoint(bytes, begin);
        const std::string_view upToNext = bytes.substr(begin, next == std::string_view::npos ? next : next - begin);
        reader.read(upToNext.substr(0, upToNext.find(kPointClose)));  // a point left open ends at the next
        open = next;
    }
}

}  // namespace keelrun
