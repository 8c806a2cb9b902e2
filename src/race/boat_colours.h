#pragma once
// The fleet's colours: fifteen boat colours that repeat from boat 16 on, with
// the matching colours for Google Earth, and the three lay-line colours.

#include <array>

#include <QString>

#include "model/race_state.h"

namespace keelrun {

inline constexpr std::array<Rgb, 3> kLaylineColours{{{225, 0, 0}, {0, 128, 0}, {98, 162, 225}}};

Rgb boatColour(int boat);          // boat >= 1
QString boatKmlColour(int boat);   // "AABBGGRR"

// Gives boats 1..boatCount their colours.
void assignBoatColours(RaceState &state);

}  // namespace keelrun
