#include "model/race_state.h"

#include <utility>

namespace keelrun {

void RaceState::resetForNewRace()
{
    RaceState fresh;
    fresh.raceLoadedOnce = raceLoadedOnce;
    fresh.ctModeChosen = ctModeChosen;
    *this = std::move(fresh);
}

}  // namespace keelrun
