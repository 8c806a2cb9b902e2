#include "race/course_progress.h"

#include <algorithm>
#include <cmath>

#include "base/parallel.h"
#include "race/legs.h"
#include "race/plane.h"
#include "race/track_derivation.h"

namespace keelrun {
namespace {

// The boat furthest round at each sample; level, the one that finished
// first, then the lower number.
std::vector<int> leaders(const RaceState &race, const CourseProgress &p)
{
    const int finish = race.courseLength();
    std::vector<int> leader(p.times.size(), 0);
    for (std::size_t i = 0; i < p.times.size(); ++i) {
        for (int b = 1; b <= race.boatCount; ++b) {
            const ProgressPoint &mine = p.boats[b][i];
            if (!mine.racing)
                continue;
            const int l = leader[i];
            if (l == 0 || mine.metres > p.boats[l][i].metres ||
                (mine.metres == p.boats[l][i].metres && race.boats[b].roundingTime[finish] < race.boats[l].roundingTime[finish]))
                leader[i] = b;
        }
    }
    return leader;
}

// When a boat had made good each distance: its course made good at the
// samples, never falling (a boat sailing back holds its best), and its
// passing of each item as the moment it had made good the legs before it.
// A boat comes abeam of a mark, the end of the leg as made good, before it
// has sailed across to go round it: the samples at the leg's end before its
// passing are left out, so that the last metres of the leg are spread over
// that time rather than made good at once.
class ReachTimes {
public:
    ReachTimes() = default;
    ReachTimes(const RaceState &race, const CourseMadeGood &madeGood, const CourseProgress &p, int boat)
    {
        const BoatEntry &b = race.boats[boat];
        const auto passedBy = [&](int item, double t) { return passed(b.roundingTime[item]) && b.roundingTime[item] <= t; };
        int next = 1;  // the next item whose passing is to be put in; one missed is passed over
        for (std::size_t i = 0; i < p.times.size(); ++i) {
            const double t = p.times[i];
            for (; next <= race.courseLength() && (!passed(b.roundingTime[next]) || passedBy(next, t)); ++next) {
                if (passed(b.roundingTime[next]))
                    add(b.roundingTime[next], *madeGood.levelAt(next));
            }
            const ProgressPoint &point = p.boats[boat][i];
            const auto legEnd = madeGood.itemEnding(point.metres);
            const bool abeamOfTheMark = legEnd && !passedBy(*legEnd, t);
            if (point.racing && !abeamOfTheMark)
                add(t, point.metres);
        }
    }

    // When the boat first had made good `metres`, it having made good
    // `nowMetres` by `now`.
    double when(double metres, double now, double nowMetres) const
    {
        const auto j = static_cast<std::size_t>(std::lower_bound(metres_.begin(), metres_.end(), metres) - metres_.begin());
        if (j == 0 && !times_.empty() && times_[0] <= now)
            return times_[0];
        const bool before = j < times_.size() && times_[j] <= now;
        const double t0 = j > 0 ? times_[j - 1] : now, m0 = j > 0 ? metres_[j - 1] : nowMetres;
        const double t1 = before ? times_[j] : now, m1 = before ? metres_[j] : nowMetres;
        return m1 > m0 ? t0 + (t1 - t0) * std::clamp((metres - m0) / (m1 - m0), 0.0, 1.0) : t1;
    }

private:
    void add(double t, double metres)
    {
        times_.push_back(t);
        metres_.push_back(metres_.empty() ? metres : std::max(metres, metres_.back()));
    }

    std::vector<double> times_, metres_;
};

void measureGaps(const RaceState &race, const CourseMadeGood &madeGood, CourseProgress &p)
{
    const int finish = race.courseLength();
    std::vector<ReachTimes> reached(race.boatCount + 1);
    parallelFor(1, race.boatCount, [&](int b) { reached[b] = ReachTimes(race, madeGood, p, b); });
    parallelFor(1, race.boatCount, [&](int b) {
        const double finishedAt = race.boats[b].roundingTime[finish];
        for (std::size_t i = 0; i < p.times.size(); ++i) {
            ProgressPoint &mine = p.boats[b][i];
            const int l = p.leader[i];
            if (!mine.racing || l == 0)
                continue;
            const ProgressPoint &leader = p.boats[l][i];
            mine.gapMetres = leader.metres - mine.metres;
            const double now = passed(finishedAt) && finishedAt <= p.times[i] ? finishedAt : p.times[i];
            mine.gapSeconds = now - reached[l].when(mine.metres, p.times[i], leader.metres);
        }
    });
}

}  // namespace

CourseMadeGood::CourseMadeGood(const RaceState &race) : race_(race), legs_(std::max(race.courseLength(), 1))
{
    for (int j = 1; j < race.courseLength(); ++j) {
        Axis &leg = legs_[j];
        const CourseVector along = unitVector(race.legs.legBearing[j]);
        leg = {legStart(race, j), along.north, along.east, race.legs.legLength[j], total_};
        total_ += leg.length;
    }
}

std::optional<double> CourseMadeGood::at(const BoatEntry &boat, double t) const
{
    const int n = race_.courseLength();
    const auto &passedAt = boat.roundingTime;
    if (n < 2 || !passed(passedAt[1]) || t < passedAt[1])
        return std::nullopt;
    if (passed(passedAt[n]) && t >= passedAt[n])
        return total_;
    const auto where = sampleAt(boat, t);
    if (!where)
        return std::nullopt;
    int leg = 1;
    for (int k = 2; k < n; ++k) {
        if (passed(passedAt[k]) && passedAt[k] <= t)
            leg = k;
    }
    const Axis &a = legs_[leg];
    const double north = (where->lat - a.from.lat) * kMetresPerMinute;
    const double east = (where->lon - a.from.lon) * kMetresPerMinute * race_.extent.cosLat;
    return a.before + std::clamp(north * a.north + east * a.east, 0.0, a.length);
}

std::optional<double> CourseMadeGood::levelAt(int item) const
{
    if (item == 1)
        return 0.0;
    if (item < 2 || item > static_cast<int>(legs_.size()))
        return std::nullopt;
    return legs_[item - 1].before + legs_[item - 1].length;
}

std::optional<int> CourseMadeGood::itemEnding(double metres) const
{
    constexpr double kSame = 1e-6;  // metres: a leg's end as the clamp gives it, to rounding
    for (int k = 2; k <= static_cast<int>(legs_.size()); ++k) {
        if (std::abs(metres - *levelAt(k)) < kSame)
            return k;
    }
    return std::nullopt;
}

CourseProgress courseProgress(const RaceState &race, double step)
{
    CourseProgress p;
    p.step = step;
    for (int i = 0; i * step <= race.windowEnd; ++i)
        p.times.push_back(i * step);
    p.boats.assign(race.boatCount + 1, std::vector<ProgressPoint>(p.times.size()));
    const CourseMadeGood madeGood(race);
    parallelFor(1, race.boatCount, [&](int b) {
        for (std::size_t i = 0; i < p.times.size(); ++i) {
            if (const auto metres = madeGood.at(race.boats[b], p.times[i]))
                p.boats[b][i] = {true, *metres, 0, 0};
        }
    });
    p.leader = leaders(race, p);
    measureGaps(race, madeGood, p);
    return p;
}

std::vector<RunningPlace> runningOrder(const RaceState &race, const CourseProgress &progress, double t)
{
    std::vector<RunningPlace> order;
    if (t < 0 || progress.times.empty())
        return order;
    const auto i = std::min(static_cast<std::size_t>(t / progress.step), progress.times.size() - 1);
    const int finish = race.courseLength();
    const auto finishedAt = [&](int b) { return race.boats[b].roundingTime[finish]; };
    std::vector<RunningPlace> racing;
    for (int b = 1; b <= race.boatCount; ++b) {
        const ProgressPoint &point = progress.boats[b][i];
        if (finish > 0 && passed(finishedAt(b)) && finishedAt(b) <= t)
            order.push_back({b, true, 0, 0});
        else if (point.racing)
            racing.push_back({b, false, point.gapSeconds, point.gapMetres});
    }
    // Level finishers one under the other by boat number, as on the finish board.
    std::stable_sort(order.begin(), order.end(), [&](const RunningPlace &a, const RunningPlace &b) { return finishedAt(a.boat) < finishedAt(b.boat); });
    std::stable_sort(racing.begin(), racing.end(), [](const RunningPlace &a, const RunningPlace &b) { return a.gapMetres < b.gapMetres; });
    order.insert(order.end(), racing.begin(), racing.end());
    return order;
}

}  // namespace keelrun
