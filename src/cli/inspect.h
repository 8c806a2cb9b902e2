#pragma once
// `keelrun --inspect`: a loaded race as one JSON object, for scripts and
// checks. Keys are the race model's field names.

#include <string>

#include "model/race_state.h"

namespace keelrun {

struct InspectOptions {
    bool samples = false;  // each boat's sample arrays too
    bool coast = false;    // the coastline's points too
};

std::string inspectJson(const RaceState &state, const InspectOptions &options = {});

}  // namespace keelrun
