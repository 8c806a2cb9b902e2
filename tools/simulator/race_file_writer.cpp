#include "race_file_writer.h"

#include <cmath>
#include <cstdio>

#include "base/numbers.h"
#include "base/text_file.h"
#include "names.h"

namespace keelrun::sim {
namespace {

constexpr int kWindRecordSeconds = 120;

// Minutes of arc (degrees x 60), to a ten-thousandth of a minute (0.2 m).
std::string minutes(double degrees) { return formatNumber(std::round(degrees * 60 * 10000) / 10000); }

std::string point(const SimulatedRace &race, Vec2 p)
{
    const GeoDegrees g = race.plane.toDegrees(p);
    return minutes(g.lat) + "," + minutes(g.lon);
}

std::string segment(const SimulatedRace &race, const LineSegment &s)
{
    return point(race, s.end1) + "," + point(race, s.end2);
}

int wrapDegrees(double deg) { return ((static_cast<int>(std::lround(deg)) % 360) + 360) % 360; }

}  // namespace

std::string localTimeText(const SimulatedRace &race, double raceSeconds)
{
    return slashText(fromUnix(toUnix(race.options.start) + std::llround(raceSeconds)));
}

std::string raceFileText(const SimulatedRace &race)
{
    const SimOptions &o = race.options;
    const RaceTexts texts = raceTexts(o);
    const Polar &typical = race.classes[race.classes.size() / 2].polar;
    const double meanLength = [&] {
        double sum = 0;
        for (const auto &c : race.classes)
            sum += c.boatLength;
        return sum / static_cast<double>(race.classes.size());
    }();

    std::string s;
    auto line = [&s](const std::string &text) { s += text + "\n"; };
    line("T1," + texts.title);
    line("T2," + texts.subtitle);
    line("NOTE," + texts.note);
    line("ST," + localTimeText(race, 0));
    line("FT," + localTimeText(race, race.finishSeconds));
    line("TD," + std::to_string(o.timeDifference));
    line("BT," + std::to_string(o.preStartMinutes));
    line("CT,0");
    line("MG," + formatNumber(o.magneticVariation));
    // The mean wind is written as a magnetic direction; the reader adds the variation.
    line("WD," + std::to_string(wrapDegrees(race.wind.meanDirection() - o.magneticVariation)));
    if (o.windFile)
        line("WF," + o.name + "_wind.csv");
    line("LL," + std::to_string(std::lround(typical.bestUpwind(race.wind.meanSpeed()).angle)) + "," +
         std::to_string(std::lround(typical.bestDownwind(race.wind.meanSpeed()).angle)));
    line("LG," + formatNumber(std::round(meanLength * 10) / 10));
    line("NU,0");
    line("PS,10");
    line("FLG," + texts.flag);
    for (const Vec2 &m : race.course.marks)
        line("MK," + point(race, m));
    for (const LineSegment &l : race.course.lines)
        line("LN," + segment(race, l));
    if (o.referenceLines)
        for (const LineSegment &l : race.course.referenceLines)
            line("RL," + segment(race, l));
    std::string course = "CRS";
    for (const CourseItem &item : race.course.items)
        course.append(",").append(item.text());
    line(course);
    line("CLSSEP");
    int shownClass = 0;
    for (const SimulatedBoat &b : race.boats) {
        if (b.classNumber != shownClass) {
            shownClass = b.classNumber;
            line("CLSN," + race.classes[shownClass - 1].name);
        }
        const BoatClassInfo &cls = race.classes[b.classNumber - 1];
        line("BN," + b.trackFile + "," + b.name + "," + formatNumber(cls.handicap) + "," +
             std::to_string(b.logger.clockOffset) + ((b.cases & Hidden) ? ",1" : ""));
    }
    line("AT," + o.name + "_notice.txt");
    return s;
}

std::string windFileText(const SimulatedRace &race)
{
    std::string s = "DATE TIME, TWS,TWD\n";
    const Vec2 committee = race.course.startLine().end1;
    for (int t = -race.options.preStartMinutes * 60; t <= race.finishSeconds; t += kWindRecordSeconds) {
        const Wind w = race.wind.at(t, committee);
        char numbers[32];
        std::snprintf(numbers, sizeof numbers, ",%.1f,%d", w.tws, wrapDegrees(w.twd));
        s += localTimeText(race, t) + numbers + "\n";
    }
    return s;
}

std::string noticeText(const SimulatedRace &race)
{
    const SimOptions &o = race.options;
    const RaceTexts texts = raceTexts(o);
    std::string s = texts.title + "\n" + texts.subtitle + "\n\n";
    s += (o.japanese ? "スタート: " : "Start: ") + localTimeText(race, 0) + "\n";
    s += (o.japanese ? "コース: " : "Course: ");
    for (const CourseItem &item : race.course.items)
        s += item.text() + " ";
    s += "\n";
    for (const BoatClassInfo &c : race.classes)
        s += c.name + " TCF " + formatNumber(c.handicap) + "\n";
    return s;
}

QByteArray encodedText(const std::string &utf8, bool shiftJis)
{
    TextEncoding encoding;
    encoding.kind = shiftJis ? TextEncoding::ShiftJis : TextEncoding::Utf8;
    encoding.crlf = true;
    return encodeText(QString::fromStdString(utf8), encoding);
}

}  // namespace keelrun::sim
