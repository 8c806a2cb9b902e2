#include "cli/check_command.h"

#include <cmath>
#include <cstdio>

#include <QFileInfo>

#include "race/roundings.h"

namespace keelrun {
namespace {

constexpr int kExitWarnings = 1;
constexpr int kExitCannotLoad = 2;

// A race-clock time as the race clock shows it: "-0:45", "12:04", "1:02:03".
QString raceClockText(double seconds)
{
    const long total = std::lround(std::abs(seconds));
    const long hours = total / 3600, minutes = total / 60 % 60, rest = total % 60;
    const QString sign = seconds < -0.5 ? QStringLiteral("-") : QString();
    if (hours > 0)
        return sign + QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, 2, 10, QLatin1Char('0')).arg(rest, 2, 10, QLatin1Char('0'));
    return sign + QStringLiteral("%1:%2").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
}

// "ESP 30782 (gpsdat/b2.gpx): 1733 fixes, 13:18:29 to 13:54:34 local time".
QString fixesLine(const RaceState &race, const BoatEntry &boat)
{
    const int n = boat.sampleCount();
    QString line = QStringLiteral("%1 (%2): %3 fixes").arg(boat.name, boat.trackFile).arg(n);
    if (n > 0) {
        line += QStringLiteral(", %1 to %2 local time")
                    .arg(timeText(addSeconds(race.startTime, boat.samples[1].time)),
                         timeText(addSeconds(race.startTime, boat.samples[n].time)));
    }
    return line;
}

// "start 0:04, MK1 12:31, MK2 20:02, finish 35:10, rank 2", with what went wrong.
QString passagesLine(const RaceState &race, const BoatEntry &boat)
{
    QStringList parts;
    const int items = std::min(race.courseLength(), kMaxTimedItems);
    for (int k = 1; k <= items; ++k) {
        const QString name = k == 1 ? QStringLiteral("start") : k == race.courseLength() ? QStringLiteral("finish") : race.course[k - 1];
        parts << name + QLatin1Char(' ') + (passed(boat.roundingTime[k]) ? raceClockText(boat.roundingTime[k]) : QStringLiteral("-"));
    }
    parts << (boat.finishRank > 0 ? QStringLiteral("rank %1").arg(boat.finishRank) : QStringLiteral("no finish rank"));
    parts << passageNotes(race, boat);
    return parts.join(QStringLiteral(", "));
}

}  // namespace

QString checkReport(const RaceState &race, const QStringList &warnings)
{
    QStringList lines;
    lines << QStringLiteral("%1: %2 %3, %4 %5, course %6")
                 .arg(QFileInfo(race.raceFilePath).fileName(), race.title, dateTimeText(race.startTime))
                 .arg(race.boatCount)
                 .arg(race.boatCount == 1 ? "boat" : "boats")
                 .arg(race.course.isEmpty() ? QStringLiteral("none") : race.course.join(QLatin1Char(' ')));
    lines << (warnings.isEmpty()      ? QStringLiteral("No warnings.")
              : warnings.size() == 1 ? QStringLiteral("1 warning:")
                                     : QStringLiteral("%1 warnings:").arg(warnings.size()));
    for (const QString &warning : warnings)
        lines << QStringLiteral("  ") + warning;
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatEntry &boat = race.boats[b];
        lines << QStringLiteral("%1. ").arg(b) + fixesLine(race, boat);
        if (race.courseLength() > 0)
            lines << QStringLiteral("   ") + passagesLine(race, boat);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

int runCheck(const CommandLine &command, const QString &executableDir)
{
    const auto resolved = resolveCommandRace(command, executableDir);
    if (!resolved)
        return kExitCannotLoad;
    RaceState race;
    const LoadResult result = loadRace(race, resolved->first, resolved->second);
    if (!result.ok()) {
        std::printf("%s: cannot be loaded: %s\n", qPrintable(QFileInfo(resolved->second).fileName()), qPrintable(result.message));
        for (const QString &warning : result.warnings)
            std::printf("  %s\n", qPrintable(warning));
        return kExitCannotLoad;
    }
    const QByteArray report = checkReport(race, result.warnings).toUtf8();
    std::fwrite(report.constData(), 1, static_cast<std::size_t>(report.size()), stdout);
    return result.warnings.isEmpty() ? 0 : kExitWarnings;
}

}  // namespace keelrun
