#include "truth_file.h"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "track_writers.h"

namespace keelrun::sim {
namespace {

nlohmann::json optionalTime(const std::optional<double> &t)
{
    return t ? nlohmann::json(std::round(*t * 10) / 10) : nlohmann::json(nullptr);
}

nlohmann::json caseNames(unsigned cases)
{
    static const std::pair<HardCase, const char *> kNames[] = {
        {Ocs, "ocs"}, {MissMark, "miss_mark"}, {Retire, "retire"}, {FewFixes, "few_fixes"},
        {MissingTrack, "missing_track"}, {Hidden, "hidden"}, {Gap, "gap"}, {Dip, "dip"}, {Overlap, "overlap"}};
    nlohmann::json names = nlohmann::json::array();
    for (const auto &[flag, name] : kNames)
        if (cases & flag)
            names.push_back(name);
    return names;
}

// 1 + the number of boats that finished earlier; nothing for boats that did not finish.
nlohmann::json rankOf(const SimulatedRace &race, const SimulatedBoat &boat, bool corrected)
{
    if (!boat.run.finishTime)
        return nullptr;
    auto timeOf = [&](const SimulatedBoat &b) {
        return *b.run.finishTime * (corrected ? race.classes[b.classNumber - 1].handicap : 1.0);
    };
    const auto earlier = std::count_if(race.boats.begin(), race.boats.end(), [&](const SimulatedBoat &b) {
        return b.run.finishTime && timeOf(b) < timeOf(boat);
    });
    return earlier + 1;
}

nlohmann::json manoeuvresOf(const BoatRun &run)
{
    nlohmann::json list = nlohmann::json::array();
    for (const SailedManoeuvre &m : run.manoeuvres) {
        list.push_back({{"time", m.time},
                        {"kind", m.kind == SailedManoeuvre::Tack ? "tack" : "gybe"},
                        {"at_mark", m.atMark},
                        {"twa_in", std::round(m.twaIn)},
                        {"twa_out", std::round(m.twaOut)},
                        {"spread_in", std::round(m.spreadIn)},
                        {"spread_out", std::round(m.spreadOut)},
                        {"loss_metres", std::round(m.lossMetres * 10) / 10}});
    }
    return list;
}

}  // namespace

std::string truthJson(const SimulatedRace &race)
{
    using nlohmann::json;
    const SimOptions &o = race.options;
    json course = json::array();
    for (const CourseItem &item : race.course.items)
        course.push_back(item.text());

    json boats = json::array();
    std::vector<const SimulatedBoat *> finishers;
    for (const SimulatedBoat &b : race.boats) {
        const double handicap = race.classes[b.classNumber - 1].handicap;
        json passings = json::array();
        for (const auto &p : b.run.passings)
            passings.push_back(optionalTime(p));
        json entry = {
            {"number", b.number},
            {"name", b.name},
            {"class", b.classNumber},
            {"class_name", race.classes[b.classNumber - 1].name},
            {"track_file", b.trackFile},
            {"format", extensionOf(b.format)},
            {"track_written", (b.cases & MissingTrack) == 0},
            {"hidden", (b.cases & Hidden) != 0},
            {"cases", caseNames(b.cases)},
            {"handicap", handicap},
            {"clock_offset", b.logger.clockOffset},
            {"fix_interval", b.logger.interval == std::floor(b.logger.interval) ? json(static_cast<int>(b.logger.interval)) : json(b.logger.interval)},
            {"fix_count", b.fixes.size()},
            {"passings", passings},
            {"start_time", optionalTime(b.run.passings.front())},
            {"finish_time", optionalTime(b.run.finishTime)},
            {"corrected_time", b.run.finishTime ? json(std::round(*b.run.finishTime * handicap * 10) / 10) : json()},
            {"finish_rank", rankOf(race, b, false)},
            {"corrected_rank", rankOf(race, b, true)},
            {"early_crossing", optionalTime(b.run.earlyCrossing)},
            {"retired_at", optionalTime(b.run.retiredAt)},
            {"manoeuvres", manoeuvresOf(b.run)},
        };
        if (b.format == TrackFormat::Trl)
            entry["trl_record_bytes"] = b.trlRecordBytes;
        if (b.cases & Gap)
            entry["gap"] = {b.logger.gapFrom, b.logger.gapTo};
        boats.push_back(entry);
        if (b.run.finishTime)
            finishers.push_back(&b);
    }
    std::stable_sort(finishers.begin(), finishers.end(), [](const SimulatedBoat *a, const SimulatedBoat *b) {
        return *a->run.finishTime < *b->run.finishTime;
    });
    json order = json::array();
    for (const SimulatedBoat *b : finishers)
        order.push_back(b->number);

    const json truth = {
        {"race", o.name},
        {"seed", o.seed},
        {"gun_unix", race.gunUtc},
        {"time_difference", o.timeDifference},
        {"pre_start_seconds", o.preStartMinutes * 60},
        {"wind", {{"mean_direction", race.wind.meanDirection()}, {"mean_speed", race.wind.meanSpeed()}}},
        {"leg_length", race.course.legLength},
        {"course", course},
        {"finish_order", order},
        {"boats", boats},
    };
    return truth.dump(1) + "\n";
}

}  // namespace keelrun::sim
