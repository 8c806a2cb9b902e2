#pragma once
// What to simulate and how to write it.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "civil_time.h"

namespace keelrun::sim {

enum class CourseKind { WindwardLeeward, Triangle };

// The kind of boats racing: keelboats (5-8 knots), dinghies (3-5 knots) or
// foiling catamarans (20 knots upwind, 35-45 downwind, tacks and gybes of
// 5-8 s that cost them much of their speed).
enum class FleetKind { Keelboats, Dinghies, Foilers };

// The track file kinds, by file extension. "dtr" and "trk" are one format
// (hemisphere-letter text) under two extensions. A mixed fleet logs in the
// first kMixedFormatCount in turn; the files of sports watches and apps
// (TCX, CSV, FIT) and the logs of racing GPS start timers (VKX) are written
// when asked for.
enum class TrackFormat { Gpx, Trb, Gdb, Mps, Trl, Dtr, Trk, Log, Tcx, Csv, Fit, Vkx };
inline constexpr int kMixedFormatCount = 8;

// The hard cases a boat can be given; a boat may have several.
enum HardCase : unsigned {
    Ocs = 1,           // over the line early: returns and starts again
    MissMark = 2,      // turns short of the first windward mark
    Retire = 4,        // stops sailing and recording in the middle of the race
    FewFixes = 8,      // the logger kept fewer than 15 fixes
    MissingTrack = 16, // named in the race file, no track file written
    Hidden = 32,       // the race file hides the boat (fifth field of its line)
    Gap = 64,          // the logger stopped for more than an hour
    Dip = 128,         // dips over the start line and back twice in the minutes before the gun
    Overlap = 256,     // the log holds 30 s twice: a second segment begins before the first ended
};

struct SimOptions {
    std::string name = "race01";
    std::uint64_t seed = 1;
    int boats = 12;                    // 1..81
    int classes = 2;                   // 1..10
    CourseKind course = CourseKind::WindwardLeeward;
    FleetKind fleet = FleetKind::Keelboats;
    int laps = 2;
    bool gate = false;                 // a leeward gate instead of a single leeward mark
    double minutes = 60;               // approximate race length
    std::optional<TrackFormat> format; // nothing: every format in turn
    double minInterval = 1, maxInterval = 5;  // seconds between fixes, chosen per boat (whole seconds in a range)
    int trlRecordBytes = 0;            // 16 or 20; 0: alternate between boats
    bool shiftJis = false;             // race file and attachment in Shift-JIS
    bool japanese = false;             // Japanese title, class and boat names
    double latitude = 34.55, longitude = 135.25;  // race area centre, degrees
    CivilTime start{2024, 5, 12, 11, 0, 0};       // the gun, local time
    int timeDifference = 9;            // hours local time is ahead of UTC
    double magneticVariation = -7.5;   // degrees east, as in the default race area
    int preStartMinutes = 5;           // the start sequence shown before the gun
    bool windFile = false;
    bool referenceLines = false;
    double gpsNoise = 2.5;             // metres, standard deviation per axis
    std::map<int, unsigned> hardCases; // boat number (1-based) -> HardCase flags

    unsigned casesOf(int boat) const
    {
        const auto it = hardCases.find(boat);
        return it == hardCases.end() ? 0u : it->second;
    }
};

}  // namespace keelrun::sim
