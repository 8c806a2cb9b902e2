#pragma once
// `keelrun --inspect`: a loaded race as one JSON object, for scripts and
// checks. Keys are the race model's field names.

#include <optional>
#include <string>

#include "model/race_state.h"

namespace keelrun {

struct InspectOptions {
    bool samples = false;  // each boat's sample arrays too
    bool coast = false;    // the coastline's points too
    std::optional<double> at;  // the race clock of the "live" numbers, none without
};

std::string inspectJson(const RaceState &state, const InspectOptions &options = {});

}  // namespace keelrun
