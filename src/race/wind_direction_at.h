#pragma once
// The true wind direction (where it comes from, degrees) at race times: one
// direction all race, the race's wind records, or the fleet's estimates.

#include <cstddef>
#include <vector>

#include "model/race_state.h"

namespace keelrun {

class WindDirectionAt {
public:
    // One direction all race.
    explicit WindDirectionAt(double direction);
    // Wind records, from index 1, in time order as wind files are written;
    // between two, the direction turns the short way round. The records must
    // outlive this.
    explicit WindDirectionAt(const std::vector<WindSample> &records);
    // The fleet's estimates, at least one, `step` seconds apart: the one at
    // or after a time, held until then. The estimates must outlive this.
    WindDirectionAt(const std::vector<WindEstimate> &estimates, double step);

    double operator()(double t) const;
    // The direction at each of `times`, as one by one. Times in order, as a
    // track's are, walk along the records instead of looking each one up:
    // this is asked for every fix of every boat.
    std::vector<double> along(const std::vector<double> &times) const;

private:
    enum class Kind { Steady, Recorded, Estimated };
    Kind kind_;
    double direction_ = 0;
    const std::vector<WindSample> *records_ = nullptr;
    const std::vector<WindEstimate> *estimates_ = nullptr;
    double step_ = 0;
};

// The wind speed of the records (from index 1, in time order) at race time
// t, in proportion between the two either side, held beyond the first and
// the last.
double recordedWindSpeed(const std::vector<WindSample> &records, double t);

}  // namespace keelrun
