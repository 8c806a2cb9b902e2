#pragma once
// The whole race: wind, course, classes and boats, sailed and logged in
// memory, then written as a data folder that Keelrun opens:
//   raceadmin/NAME.txt        the race file
//   gpsdat/NAME_NN.ext        one track file per boat
//   winddat/NAME_wind.csv     wind records (when asked for)
//   attachment/NAME_notice.txt
//   NAME.truth.json           what really happened, for checking Keelrun

#include <cstdint>
#include <string>
#include <vector>

#include <QString>

#include "boat_sim.h"
#include "course.h"
#include "geometry.h"
#include "logger.h"
#include "polar.h"
#include "sim_options.h"
#include "wind_field.h"

namespace keelrun::sim {

struct BoatClassInfo {
    std::string name;
    Polar polar;
    double handicap = 1;  // time-correction factor (corrected = elapsed x factor)
    double boatLength = 10;  // metres
};

struct SimulatedBoat {
    int number = 0;      // 1-based, the order of the race file
    std::string name;
    int classNumber = 1; // 1-based
    TrackFormat format = TrackFormat::Gpx;
    int trlRecordBytes = 0;
    std::string trackFile;  // name inside gpsdat/
    unsigned cases = 0;     // HardCase flags
    LoggerPlan logger;
    double skill = 1;       // the share of its polar speed the crew sails at (BoatPlan::skill)
    BoatRun run;            // the true, noise-free sailing
    std::vector<Fix> fixes; // what the logger kept
    StartLog start;         // what it kept of the start, where it is a start timer
};

struct SimulatedRace {
    SimOptions options;
    LocalPlane plane;
    std::int64_t gunUtc = 0;      // Unix seconds of the gun
    WindField wind;
    Course course;
    std::vector<BoatClassInfo> classes;
    std::vector<SimulatedBoat> boats;
    int finishSeconds = 0;        // the race file's finish time, seconds after the gun
};

SimulatedRace simulateRace(const SimOptions &options);

// Writes the data folder below `outDir`; throws std::runtime_error when a
// file cannot be written.
void writeRaceFolder(const SimulatedRace &race, const QString &outDir);

}  // namespace keelrun::sim
