#include "io/race_file.h"

#include <set>
#include <string>

#include <QFileInfo>

#include "base/line_splitter.h"
#include "base/load_error.h"
#include "base/numbers.h"
#include "base/text_file.h"

namespace keelrun {
namespace {

// What a value may sensibly be. One odd value is no reason to lose a race:
// a number outside its range is brought to the nearer end, with a warning.
struct Range {
    double min, max;
};
constexpr Range kLatitude{-90 * 60, 90 * 60};  // minutes of arc
constexpr Range kLongitude{-180 * 60, 180 * 60};
constexpr Range kDegrees{-360, 720};
constexpr Range kHours{-24, 24};
constexpr Range kPreStartMinutes{0, 24 * 60};
constexpr Range kPlaySpeed{1, 1500};
constexpr Range kBoatLength{0, 1000};          // metres
constexpr Range kHandicap{0, 10};
constexpr Range kClockOffset{-7 * 86400, 7 * 86400};

// The course editor writes a course of kMaxCourseItems items: its line must
// read back whole, finish included.
static_assert(kMaxFields == 1 + kMaxCourseItems);

// Reads one race file line by line into the state, applying each tag.
class RaceFileReader {
public:
    RaceFileReader(RaceState &state, const DataFolder &folder, QString fileName)
        : state_(state), folder_(folder), fileName_(std::move(fileName))
    {
    }

    void readLine(std::string_view text, int lineNumber)
    {
        lineNumber_ = lineNumber;
        const SplitLine line = splitLine(text);
        if (line.overflowed())
            warnOverflow(line);
        applyTag(line);
    }

    void finish();

private:
    void warnOverflow(const SplitLine &line);
    void applyTag(const SplitLine &line);
    void addClass(const SplitLine &line);
    void addBoat(const SplitLine &line);
    void addMark(const SplitLine &line);
    void addLine(const SplitLine &line, int &count, int capacity, CourseLine *table, const char *what);
    void setMapParams(const SplitLine &line);
    void addAttachment(const SplitLine &line);
    void makeTitles();

    QString text(const SplitLine &line, int i) const { return toQString(line.field(i)); }
    std::string_view required(const SplitLine &line, int i) const;
    double number(const SplitLine &line, int i, Range range);
    int integer(const SplitLine &line, int i, Range range = {-1e9, 1e9});
    double clamped(const SplitLine &line, int i, double value, Range range);
    double latitude(const SplitLine &line, int i) { return number(line, i, kLatitude); }
    double longitude(const SplitLine &line, int i) { return number(line, i, kLongitude); }
    DateTime dateTime(const SplitLine &line, int i) const;
    [[noreturn]] void fail(const SplitLine &line, int i, const QString &what) const;

    QString where() const { return QStringLiteral("%1:%2").arg(fileName_).arg(lineNumber_); }
    void warn(const QString &message) { state_.warnings << where() + QStringLiteral(": ") + message; }
    // Each kind of refusal is reported once, at its first line.
    void warnOnce(const std::string &kind, const QString &message)
    {
        if (warned_.insert(kind).second)
            warn(message);
    }

    RaceState &state_;
    const DataFolder &folder_;
    QString fileName_;
    int lineNumber_ = 0;
    std::set<std::string> warned_;
    QString titleText_;
    QString subtitleText_;
    bool startTimeSeen_ = false;
    bool finishTimeSeen_ = false;
};

// The rest of a line too long is dropped. For a course that is its finish,
// which changes the race: that is said at every such line.
void RaceFileReader::warnOverflow(const SplitLine &line)
{
    if (line.tag() == "CRS")
        warn(QStringLiteral("the course has more than %1 items; only the first %1 are kept, and the finish is lost")
                 .arg(kMaxCourseItems));
    else
        warnOnce("fields", QStringLiteral("more than %1 fields; the rest of the line is ignored").arg(kMaxFields));
}

void RaceFileReader::applyTag(const SplitLine &line)
{
    const std::string tag = line.tag();
    if (tag == "NOTE") {
        state_.note = text(line, 1);
    } else if (tag == "CLSSEP") {
        state_.classesEnabled = true;
    } else if (tag == "CLSN") {
        addClass(line);
    } else if (tag == "BN") {
        addBoat(line);
    } else if (tag == "CT") {
        state_.ctMode = integer(line, 1);
    } else if (tag == "MK") {
        addMark(line);
    } else if (tag == "MAP") {
        setMapParams(line);
    } else if (tag == "LN") {
        addLine(line, state_.lineCount, kMaxLines, state_.lines.data(), "lines");
    } else if (tag == "RL") {
        addLine(line, state_.refLineCount, kMaxRefLines, state_.refLines.data(), "reference lines");
    } else if (tag == "LL") {
        state_.laylineAngles = {integer(line, 1, kDegrees), integer(line, 2, kDegrees)};
    } else if (tag == "CRS") {
        state_.course.clear();
        for (int i = 1; i < line.count(); ++i)
            state_.course << text(line, i);
    } else if (tag == "AT") {
        addAttachment(line);
    } else if (tag == "FLG") {
        state_.flagText = text(line, 1);
    } else if (tag == "T1") {
        titleText_ = text(line, 1);
    } else if (tag == "T2") {
        subtitleText_ = text(line, 1);
    } else if (tag == "MG") {
        state_.magneticVariation = number(line, 1, kDegrees);
    } else if (tag == "LG") {
        state_.boatLength = number(line, 1, kBoatLength);
    } else if (tag == "ST") {
        state_.startTime = dateTime(line, 1);
        startTimeSeen_ = true;
    } else if (tag == "FT") {
        state_.finishTime = dateTime(line, 1);
        finishTimeSeen_ = true;
    } else if (tag == "TD") {
        state_.timeDifference = integer(line, 1, kHours);
    } else if (tag == "WD") {
        state_.windDirectionValue = integer(line, 1, kDegrees);
    } else if (tag == "WF") {
        state_.windFile = text(line, 1);
    } else if (tag == "BT") {
        state_.preStartSeconds = integer(line, 1, kPreStartMinutes) * 60;
    } else if (tag == "NU") {
        state_.northUp = integer(line, 1);
    } else if (tag == "PS") {
        state_.initialPlaySpeed = number(line, 1, kPlaySpeed);
    }
}

void RaceFileReader::addClass(const SplitLine &line)
{
    if (!state_.classesEnabled)
        return;
    if (state_.classCount == kMaxClasses) {
        warnOnce("classes", QStringLiteral("more than %1 classes; this class is ignored").arg(kMaxClasses));
        return;
    }
    state_.classes[++state_.classCount].name = text(line, 1);
}

// A boat counts only when its track file exists. Fields: track file, name,
// handicap, clock offset (s), and any fifth field hides the boat.
void RaceFileReader::addBoat(const SplitLine &line)
{
    const QString trackFile = text(line, 1);
    if (!folder_.find(SubFolder::Tracks, trackFile)) {
        warn(QStringLiteral("track file \"%1\" not found in gpsdat/; this boat is ignored").arg(trackFile));
        return;
    }
    if (state_.boatCount == kMaxBoats) {
        warnOnce("boats", QStringLiteral("more than %1 boats; this boat is ignored").arg(kMaxBoats));
        return;
    }
    BoatEntry &boat = state_.boats[++state_.boatCount];
    boat.trackFile = trackFile;
    boat.name = text(line, 2);
    boat.classIndex = state_.classCount;
    boat.handicap = line.has(3) ? number(line, 3, kHandicap) : 0;
    boat.clockOffset = line.has(4) ? integer(line, 4, kClockOffset) : 0;
    boat.shown = line.has(5) ? 0 : 1;
}

void RaceFileReader::addMark(const SplitLine &line)
{
    if (state_.markCount == kMaxMarks) {
        warnOnce("marks", QStringLiteral("more than %1 marks; this mark is ignored").arg(kMaxMarks));
        return;
    }
    const CourseMark mark{latitude(line, 1), longitude(line, 2)};
    state_.marks[++state_.markCount] = mark;
}

void RaceFileReader::addLine(const SplitLine &line, int &count, int capacity, CourseLine *table, const char *what)
{
    if (count == capacity) {
        warnOnce(what, QStringLiteral("more than %1 %2; this line is ignored").arg(capacity).arg(QLatin1String(what)));
        return;
    }
    const CourseLine read{{latitude(line, 1), longitude(line, 2)}, {latitude(line, 3), longitude(line, 4)}};
    table[++count] = read;
}

void RaceFileReader::setMapParams(const SplitLine &line)
{
    state_.mapParams.clear();
    for (int i = 1; i < line.count(); ++i) {
        if (state_.mapParams.size() == kMaxMapParams) {
            warnOnce("map", QStringLiteral("more than %1 map parameters; the rest are ignored").arg(kMaxMapParams));
            break;
        }
        state_.mapParams << text(line, i);
    }
}

void RaceFileReader::addAttachment(const SplitLine &line)
{
    const QString name = text(line, 1);
    if (!folder_.find(SubFolder::Attachments, name))
        return;
    if (state_.attachments.size() == kMaxAttachments) {
        warnOnce("attachments", QStringLiteral("more than %1 attachments; this one is ignored").arg(kMaxAttachments));
        return;
    }
    state_.attachments << name;
}

std::string_view RaceFileReader::required(const SplitLine &line, int i) const
{
    if (!line.has(i))
        throw LoadError(QStringLiteral("%1: %2 field %3 is missing").arg(where(), toQString(line.tag())).arg(i));
    return line.field(i);
}

void RaceFileReader::fail(const SplitLine &line, int i, const QString &what) const
{
    throw LoadError(QStringLiteral("%1: %2 field %3: \"%4\" is not %5")
                        .arg(where(), toQString(line.tag()))
                        .arg(i)
                        .arg(toQString(line.field(i)), what));
}

double RaceFileReader::number(const SplitLine &line, int i, Range range)
{
    const auto value = parseNumber(required(line, i));
    if (!value)
        fail(line, i, QStringLiteral("a number"));
    return clamped(line, i, *value, range);
}

int RaceFileReader::integer(const SplitLine &line, int i, Range range)
{
    const auto value = parseInteger(required(line, i));
    if (!value)
        fail(line, i, QStringLiteral("a whole number"));
    return static_cast<int>(clamped(line, i, *value, range));
}

double RaceFileReader::clamped(const SplitLine &line, int i, double value, Range range)
{
    if (value >= range.min && value <= range.max)
        return value;
    const double used = value < range.min ? range.min : range.max;
    warn(QStringLiteral("%1 field %2: %3 is outside %4 to %5; %6 is used")
             .arg(toQString(line.tag()))
             .arg(i)
             .arg(toQString(line.field(i)))
             .arg(range.min)
             .arg(range.max)
             .arg(used));
    return used;
}

DateTime RaceFileReader::dateTime(const SplitLine &line, int i) const
{
    const auto value = parseDateTime(required(line, i));
    if (!value)
        fail(line, i, QStringLiteral("a date and time (yyyy/mm/dd hh:mm:ss)"));
    return *value;
}

// Without a cover picture the caption is the product name and the file name,
// and the second line the race date, unless T1 and T2 say otherwise.
// A cover picture carries its own title, so the captions stay empty then.
void RaceFileReader::makeTitles()
{
    state_.title.clear();
    state_.subtitle.clear();
    if (!state_.coverPresent) {
        state_.title = QStringLiteral("Keelrun  ");
        if (titleText_.size() < 2 && subtitleText_.size() < 2)
            state_.title += fileName_;
        if (subtitleText_.size() < 2)
            state_.subtitle = shortDateText(state_.raceDate);
    }
    if (titleText_.size() >= 2)
        state_.title = titleText_;
    if (subtitleText_.size() >= 2)
        state_.subtitle = subtitleText_;
}

void RaceFileReader::finish()
{
    lineNumber_ = 0;
    auto warnMissing = [this](bool seen, const char *tag) {
        if (!seen)
            state_.warnings << QStringLiteral("%1: no %2 line; the race has no %3 time")
                                   .arg(fileName_, QLatin1String(tag), QLatin1String(tag[0] == 'S' ? "start" : "finish"));
    };
    warnMissing(startTimeSeen_, "ST");
    warnMissing(finishTimeSeen_, "FT");

    RaceState &s = state_;
    s.startTimeUtc = addSeconds(s.startTime, -s.timeDifference * 3600.0);
    s.finishTimeUtc = addSeconds(s.finishTime, -s.timeDifference * 3600.0);

    s.handicapsPresent = s.boats[1].handicap > 0;

    if (s.preStartSeconds == 0)
        s.preStartSeconds = 180;
    s.windowStart = -s.preStartSeconds - 10;
    s.raceDuration = secondsBetween(s.startTime, s.finishTime);
    s.windowEnd = s.raceDuration + 30.0;
    s.windowLength = roundHalfEven(s.windowEnd - s.windowStart);
    s.windDirection = roundHalfEven(s.magneticVariation) + s.windDirectionValue;
    s.raceDate = wholeDay(s.startTime);
    makeTitles();
}

}  // namespace

void readRaceFile(RaceState &state, const DataFolder &folder)
{
    const auto file = readTextFile(state.raceFilePath);
    if (!file)
        return;
    state.raceFileEncoding = file->encoding;
    RaceFileReader reader(state, folder, QFileInfo(state.raceFilePath).fileName());
    forEachLine(file->text(),
                [&](std::string_view line, int number) { reader.readLine(line, number); });
    reader.finish();
}

}  // namespace keelrun
