#include "io/wind_file.h"

#include <algorithm>

#include <QDir>

#include "base/line_splitter.h"
#include "base/load_error.h"
#include "base/numbers.h"
#include "base/text_file.h"

namespace keelrun {
namespace {

const QString kHeader = QStringLiteral("DATE TIME, TWS,TWD");

WindSample parseRecord(const SplitLine &line, const RaceState &state, const QString &where)
{
    auto fail = [&](int i, const char *expected) {
        throw LoadError(QStringLiteral("%1: field %2: \"%3\" is not %4")
                            .arg(where)
                            .arg(i + 1)
                            .arg(toQString(line.field(i)), QLatin1String(expected)));
    };
    if (line.count() < 3)
        throw LoadError(QStringLiteral("%1: a record needs date and time, speed and direction").arg(where));
    const auto time = parseDateTime(line.field(0));
    if (!time)
        fail(0, "a date and time");
    const auto tws = parseNumber(line.field(1));
    if (!tws)
        fail(1, "a wind speed");
    const auto twd = parseNumber(line.field(2));
    if (!twd || std::fabs(*twd) > 1e6)
        fail(2, "a wind direction");
    const int seconds = secondsBetween(state.startTime, *time);
    if (seconds == kNoSecondsBetween)
        fail(0, "a date and time near the race");
    // Directions beyond a full turn are brought back into 0..360.
    return {static_cast<double>(seconds), *tws, intoCircle(roundHalfEven(*twd))};
}

}  // namespace

void readWindFile(RaceState &state, const DataFolder &folder)
{
    state.windSamples.assign(1, WindSample{});
    state.maxWindSpeed = 0;
    const auto path = state.windFile.isEmpty() ? std::nullopt : folder.find(SubFolder::Wind, state.windFile);
    const auto file = path ? readTextFile(*path) : std::nullopt;
    if (!file) {
        state.windFile.clear();
        return;
    }
    const std::string_view text = file->text();
    forEachLine(text, [&](std::string_view line, int number) {
        if (number == 1 || trimmed(line).empty())
            return;
        const QString where = QStringLiteral("%1/%2:%3").arg(subFolderName(SubFolder::Wind), state.windFile).arg(number);
        const WindSample record = parseRecord(splitLine(line), state, where);
        state.windSamples.push_back(record);
        state.maxWindSpeed = std::max(state.maxWindSpeed, record.tws);
    });
}

QString windFileNameFor(const RaceState &state) { return state.raceFileName.section(QLatin1Char('.'), 0, 0) + QStringLiteral("_wind.csv"); }

QString writeWindFile(RaceState &state, const DataFolder &folder)
{
    std::stable_sort(state.windSamples.begin() + 1, state.windSamples.end(),
                     [](const WindSample &a, const WindSample &b) { return a.time < b.time; });
    const QString windFile = windFileNameFor(state);

    QString text = kHeader + QLatin1Char('\n');
    for (int i = 1; i <= state.windSampleCount(); ++i) {
        const WindSample &w = state.windSamples[i];
        text += toQDateTime(addSeconds(state.startTime, w.time)).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) +
                QStringLiteral(",0,") + QString::number(w.twd) + QLatin1Char('\n');
    }

    QDir().mkpath(folder.path(SubFolder::Wind));
    const QString problem = replaceFile(folder.path(SubFolder::Wind, windFile), encodeText(text, {TextEncoding::Utf8, false, true}));
    if (!problem.isEmpty())
        return QStringLiteral("%1/%2: %3").arg(subFolderName(SubFolder::Wind), windFile, problem);
    state.windFile = windFile;
    return {};
}

}  // namespace keelrun
