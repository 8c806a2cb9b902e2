#pragma once
// Names of the race, the classes and the boats, in English or Japanese
// (UTF-8 text; the race file writer converts it to the file's encoding).

#include <string>
#include <vector>

#include "random.h"
#include "sim_options.h"

namespace keelrun::sim {

// Distinct boat names, at most 81.
std::vector<std::string> boatNames(int count, bool japanese, Random &rng);
// A class name that suits the class's speed (speed factor about 0.88..1.12).
// A class's name by its speed; foiling catamarans and dinghies have names of
// their own kind.
std::string className(double speedFactor, bool japanese, FleetKind fleet = FleetKind::Keelboats);

struct RaceTexts {
    std::string title, subtitle, note;
    std::string flag = "P";  // the preparatory signal of the start sequence
};
RaceTexts raceTexts(const SimOptions &options);

}  // namespace keelrun::sim
