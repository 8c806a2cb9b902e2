#pragma once
// The one in-memory state of the loaded race: race-level fields, boats with
// their tracks, classes, marks, lines and the course.
//
// Positions are minutes of arc (degrees x 60, north and east positive).
// Race times are signed seconds on the race clock, counted from the starting
// gun in UTC and negative before it. Tables that the race file numbers keep
// that numbering: slot 0 of boats, classes, marks and lines is unused.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "base/date_time.h"
#include "base/text_file.h"

namespace keelrun {

inline constexpr int kMaxBoats = 81;
inline constexpr int kMaxClasses = 10;
inline constexpr int kMaxMarks = 20;
inline constexpr int kMaxLines = 10;
inline constexpr int kMaxRefLines = 10;
inline constexpr int kMaxCourseItems = 20;
inline constexpr int kMaxMapParams = 10;
inline constexpr int kMaxAttachments = 10;

// The per-boat result tables hold this many course items.
inline constexpr int kMaxTimedItems = 12;
// The rounding time of a course item the boat never passed; any time above
// kLastPassableTime means "not passed".
inline constexpr double kNotReached = 10'000'000;
inline constexpr double kLastPassableTime = 999'999;
inline bool passed(double roundingTime) { return roundingTime <= kLastPassableTime; }

// Tables indexed by course item or leg number 1..12 (slot 0 unused).
template <typename T>
using ItemTable = std::array<T, kMaxTimedItems + 1>;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// A stretch of speeds, knots.
struct SpeedRange {
    double low = 0;
    double high = 0;
};

struct BoatClass {
    QString name;
};

// One GPS fix of one boat, in file order.
struct TrackSample {
    double time = 0;     // race clock + clockOffset (x handicap in corrected time), seconds to the millisecond
    double lat = 0;      // minutes of arc
    double lon = 0;      // minutes of arc
    double speed = 0;    // knots over ground
    double heading = 0;  // whole degrees 0..360 over ground, clockwise from true north
};

// Two fixes further apart than this leave a gap in the track: the logger was
// off, and nothing is known of where the boat sailed in between. No
// position, speed or line crossing is taken across a gap.
inline constexpr double kTrackGapSeconds = 3610;
inline bool gapBetween(const TrackSample &a, const TrackSample &b) { return b.time - a.time > kTrackGapSeconds; }

// Whether fixes, wind records or estimates from `first` to `last` are in
// time order (equal times allowed). Loggers and wind files write them so,
// and walks along them rely on it; a damaged file's may not be.
template <typename Iterator>
bool inTimeOrder(Iterator first, Iterator last)
{
    return std::is_sorted(first, last, [](const auto &a, const auto &b) { return a.time < b.time; });
}

inline ItemTable<double> filledTable(double value)
{
    ItemTable<double> table;
    table.fill(value);
    return table;
}

// A tack or a gybe, and what it cost: the ground lost towards the wind (a
// tack) or away from it (a gybe) against sailing on at the speed and angle
// before.
struct Manoeuvre {
    enum Kind { Tack, Gybe };
    double time = 0;        // race clock: the wind changes side
    Kind kind = Tack;
    bool atMark = false;    // within a minute of rounding a mark or crossing a line
    int headingIn = 0;      // degrees true, the settled courses before and after
    int headingOut = 0;
    double speedIn = 0;     // knots, the mean speeds on them
    double speedOut = 0;
    double duration = 0;    // seconds from leaving the course before to being up to speed on the course after
    double lossMetres = 0;
    double lossSeconds = 0;
};

// The true wind direction read from the fleet's manoeuvres at a race time.
struct WindEstimate {
    double time = 0;
    int twd = 0;
};

struct GeoPoint {
    double lat = 0;  // minutes of arc
    double lon = 0;
};

// The two ends of a start line as a crew tells them apart: the pin, a buoy
// at the port end looking upwind, and the committee boat at the starboard
// end.
enum class StartLineEnd { Pin, Boat };

// The start as the boat's own logger recorded it, where the logger is also
// the crew's start timer (the Vakaros Atlas): the moment the countdown
// reached zero, and where the crew pinged the ends of the start line. Each
// is present only when the log holds it, for the race's own start.
struct LoggedStart {
    // The timer's zero on the race clock: seconds from the gun, to the
    // millisecond, with the logger's clock offset applied as to its fixes
    // (never scaled to corrected time). A timer synced late reads after 0.
    std::optional<double> timerGun;
    std::optional<GeoPoint> pinEnd;   // minutes of arc
    std::optional<GeoPoint> boatEnd;
    bool any() const { return timerGun || pinEnd || boatEnd; }
};

struct BoatEntry {
    QString trackFile;   // relative to gpsdat/, as written in the race file
    QString name;
    int classIndex = 0;  // 0 = no class
    double handicap = 0; // time-correction factor; 0 = none
    int clockOffset = 0; // seconds added to every fix time of this boat's logger
    int shown = 1;       // 0: the race file hides the boat from the start
    double fixInterval = 0; // mean spacing of the fixes, seconds (whole for a log on whole seconds)
    Rgb colour;
    QString kmlColour;   // AABBGGRR as 8 hexadecimal digits
    // Samples are used from index 1; index 0 is a placeholder.
    std::vector<TrackSample> samples = std::vector<TrackSample>(1);
    LoggedStart loggedStart;  // what the track file holds of the start besides fixes

    // Results: when the boat passed each course item, its finish rank, the
    // distance it sailed on each leg (entry courseLength: the whole race,
    // metres), and its time (s) and distance (nautical miles) on upwind and
    // downwind legs: 0 for a kind of leg the boat did not sail every one of.
    // A boat that missed a course item (and passed a later one) does not
    // finish: `missedItem` is the first item it missed, 0 when none. A boat
    // over early was on the course side of the start line at the gun; its
    // start is its return across the line.
    ItemTable<double> roundingTime = filledTable(kNotReached);
    int missedItem = 0;
    bool overEarly = false;
    int finishRank = 0;
    ItemTable<double> legDistance{};
    double upwindTime = 0;
    double downwindTime = 0;
    double upwindDistance = 0;
    double downwindDistance = 0;
    std::vector<Manoeuvre> manoeuvres;

    int sampleCount() const { return static_cast<int>(samples.size()) - 1; }
};

struct CourseMark {
    double lat = 0;
    double lon = 0;
};

// A start, finish or gate line, or a reference line: two end points.
struct CourseLine {
    GeoPoint end1;
    GeoPoint end2;
};
using RefLine = CourseLine;

// The area the race covers, with a 20 % margin and its spans made equal in
// ground distance (minutes of arc).
struct RaceExtent {
    double maxLat = -20000, minLat = 20000, maxLon = -20000, minLon = 20000;
    double centreLat = 0, centreLon = 0;
    double cosLat = 1;  // metres per minute of longitude / metres per minute of latitude
    double latSpan = 0, lonSpan = 0;
};

// Daylight on the race day, in seconds of the local day.
struct DaylightWindow {
    double sunrise = 0;
    double sunset = 0;
    double dayOffset = 0;  // the local time of day of the gun
};

// Who passed each course item first, and the end of the race.
struct CourseResults {
    ItemTable<double> firstPassTime{};
    ItemTable<int> leaderAt{};       // boat number; 0 when nobody passed
    double lastFinishTime = 0;
    std::array<double, 4> finishLine{};  // end 1 lat, end 2 lat, end 1 lon, end 2 lon; zeros for a finish mark
};

enum LegKind { NoLeg = 0, Upwind = 1, Downwind = 2, Reach = 3 };

// The legs of the course: leg j runs from course item j to item j + 1.
struct LegTables {
    ItemTable<double> legBearing{};    // degrees true
    ItemTable<double> legLength{};     // metres; entry courseLength: the whole course
    ItemTable<double> turnBisector{};  // outside bisector of the turn at item j + 1
    ItemTable<int> legKind{};
    ItemTable<GeoPoint> coursePoint{}; // the mark, or the middle of the line, of item k
};

// A point of the coastline, in GPS coordinates; `start` begins a polyline.
struct CoastPoint {
    double lat = 0;  // minutes of arc
    double lon = 0;
    bool start = false;
};

// A navigation light of the light list: flashes `flashes` times every
// `period` seconds in the colours of its letters ("W", "R", "G", "WR"...),
// seen `range` nautical miles off.
struct Light {
    QString name;
    double lat = 0;  // minutes of arc
    double lon = 0;
    int period = 0;
    int flashes = 0;
    QString colours;
    double range = 0;
};

// One true-wind record.
struct WindSample {
    double time = 0;  // seconds from the local start time
    double tws = 0;   // knots, as written in the file
    int twd = 0;      // whole degrees
};

struct RaceState {
    // Where the race came from.
    QString raceFilePath;
    QString raceFileName;
    TextEncoding raceFileEncoding;

    // Captions and texts.
    QString title;
    QString subtitle;
    QString note;
    QString flagText;

    // Time frame. Race-area local times, and the same in UTC.
    DateTime startTime;
    DateTime finishTime;
    int timeDifference = 0;  // hours local time is ahead of UTC
    DateTime startTimeUtc;
    DateTime finishTimeUtc;
    DateTime raceDate;
    int raceDuration = 0;    // seconds
    int preStartSeconds = 180;
    double windowStart = -190;
    double windowEnd = 30;
    int windowLength = 220;

    // Fleet.
    bool classesEnabled = false;
    int classCount = 0;
    int boatCount = 0;
    int droppedBoats = 0;
    bool handicapsPresent = false;
    int ctMode = 0;  // > 0: corrected time
    std::array<BoatClass, kMaxClasses + 1> classes{};
    // Slots 1..81, plus one spare slot as the track arrays have.
    std::array<BoatEntry, kMaxBoats + 2> boats{};

    // Course.
    int markCount = 0;
    int lineCount = 0;
    int refLineCount = 0;
    std::array<CourseMark, kMaxMarks + 1> marks{};
    std::array<CourseLine, kMaxLines + 1> lines{};
    std::array<RefLine, kMaxRefLines + 1> refLines{};
    QStringList course;       // items "MKn" and "Ln"; the first is the start, the last the finish
    QStringList mapParams;    // the coastline files read: grid squares, or "TOBA" for the general file
    std::array<int, 2> laylineAngles{};
    double boatLength = 0;
    double magneticVariation = 0;
    int windDirectionValue = 0;
    int windDirection = 0;    // mean wind direction: round(magneticVariation) + windDirectionValue

    // Wind records.
    QString windFile;
    std::vector<WindSample> windSamples = std::vector<WindSample>(1);  // from index 1
    double maxWindSpeed = 0;

    // Display defaults and extras.
    int northUp = 0;
    double initialPlaySpeed = 5;
    QStringList attachments;
    bool coverPresent = false;
    double topSpeed = 0;  // knots: the fastest sample of the fleet, GPS glitches left out
    SpeedRange usualSpeeds;  // knots: the speeds the fleet usually sails at (usualSpeedsOf), the speed colours' scale

    RaceExtent extent;
    DaylightWindow daylight;
    std::vector<CoastPoint> coastPoints;
    std::vector<Light> lights;
    std::vector<WindEstimate> estimatedWind;  // every minute of the window; empty without manoeuvres
    CourseResults results;
    LegTables legs;

    // What the user should know about the race file though it still loaded.
    QStringList warnings;

    // The course items the result tables time: the first kMaxTimedItems,
    // the last of them taken as the finish. `course` keeps every item.
    int courseLength() const { return std::min(static_cast<int>(course.size()), kMaxTimedItems); }
    int windSampleCount() const { return static_cast<int>(windSamples.size()) - 1; }
};

}  // namespace keelrun
