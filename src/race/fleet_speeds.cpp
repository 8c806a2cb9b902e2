#include "race/fleet_speeds.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace keelrun {
namespace {

constexpr double kLowShare = 0.05;
constexpr double kHighShare = 0.95;

// The value `share` of the way up the sorted speeds, the speeds left in
// any order.
double percentile(std::vector<double> &speeds, double share)
{
    const auto at = speeds.begin() + std::lround(share * static_cast<double>(speeds.size() - 1));
    std::nth_element(speeds.begin(), at, speeds.end());
    return *at;
}

}  // namespace

SpeedRange usualSpeedsOf(const RaceState &race)
{
    std::vector<double> moving;
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatEntry &boat = race.boats[b];
        for (int i = 1; i <= boat.sampleCount(); ++i) {
            if (boat.samples[i].speed >= kMovingKnots)
                moving.push_back(boat.samples[i].speed);
        }
    }
    if (moving.empty())
        return {};
    return {percentile(moving, kLowShare), percentile(moving, kHighShare)};
}

}  // namespace keelrun
