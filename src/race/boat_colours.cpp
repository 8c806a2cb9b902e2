#include "race/boat_colours.h"

namespace keelrun {
namespace {

constexpr int kColourCount = 15;

constexpr std::array<Rgb, kColourCount> kBoatColours{{
    {255, 0, 0}, {0, 0, 255}, {0, 128, 0}, {128, 128, 0}, {128, 0, 128},
    {0, 128, 128}, {0, 0, 0}, {128, 128, 128}, {192, 192, 0}, {96, 96, 0},
    {192, 0, 0}, {0, 0, 192}, {0, 128, 0}, {128, 128, 0}, {128, 0, 128},
}};

constexpr std::array<const char *, kColourCount> kKmlColours{{
    "FFFF0000", "FF00FF00", "FF0000FF", "FF00FFFF", "FFFF00FF",
    "FFFFFF00", "FFFFFFFF", "FFFF8080", "FF80FF80", "FF8080FF",
    "FFFF8000", "FF80FF00", "FF8000FF", "FFFF0080", "FF00FF80",
}};

// Boats 16 and up take the colours of boats 1, 2, ... again.
int colourSlot(int boat) { return (boat - 1) % kColourCount; }

}  // namespace

Rgb boatColour(int boat) { return kBoatColours[colourSlot(boat)]; }

QString boatKmlColour(int boat) { return QString::fromLatin1(kKmlColours[colourSlot(boat)]); }

void assignBoatColours(RaceState &state)
{
    for (int i = 1; i <= state.boatCount; ++i) {
        state.boats[i].colour = boatColour(i);
        state.boats[i].kmlColour = boatKmlColour(i);
    }
}

}  // namespace keelrun
