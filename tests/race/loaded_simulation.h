#pragma once
// A simulated race, written out and loaded as a user would load it.

#include <QTemporaryDir>

#include "io/data_folder.h"
#include "race/loading_sequence.h"
#include "simulator.h"

namespace keelrun::test {

struct LoadedSimulation {
    explicit LoadedSimulation(const sim::SimOptions &options) : simulated(sim::simulateRace(options))
    {
        sim::writeRaceFolder(simulated, dir.path());
        ok = loadRace(race, DataFolder(dir.path()), dir.filePath("raceadmin/race01.txt")).ok();
    }
    QTemporaryDir dir;
    sim::SimulatedRace simulated;
    RaceState race;
    bool ok = false;
};

}  // namespace keelrun::test
