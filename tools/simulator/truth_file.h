#pragma once
// The truth file: what each simulated boat really did, as JSON, for tests
// that compare Keelrun's own findings (start, mark roundings, finish order)
// with the simulation. Times are race seconds: seconds after the gun, on the
// UTC clock, without any logger clock error.

#include <string>

#include "simulator.h"

namespace keelrun::sim {

std::string truthJson(const SimulatedRace &race);

}  // namespace keelrun::sim
