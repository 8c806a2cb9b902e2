#pragma once
// The numbers a coach follows while the race plays: for each boat at one
// moment, its speed and course over ground, its VMG towards the wind, the
// leg it sails and how far it has to the next mark, its place on the water
// and its gap to the leader.

#include <vector>

#include "model/race_state.h"
#include "race/course_progress.h"

namespace keelrun {

struct LiveNumbers {
    int boat = 0;
    int rank = 0;                   // place on the running leaderboard
    bool finished = false;
    int leg = 0;                    // the leg sailed, 1 from the start; 0 once finished
    double progressMetres = 0;      // course made good
    double distanceToGoMetres = 0;  // the course's length less that
    double toNextMetres = 0;        // straight to the next mark, or the middle of the next line
    double gapSeconds = 0;          // behind the leader on the water
    double gapMetres = 0;
    double sog = 0;  // knots over ground
    double cog = 0;  // degrees true over ground
    double vmg = 0;  // knots made good towards the wind: negative sailing away from it
};

// Every boat on the running leaderboard at race clock t, in its order. The
// wind is the wind file's, else the fleet's own reading of it.
std::vector<LiveNumbers> liveNumbers(const RaceState &race, const CourseProgress &progress, double t);

}  // namespace keelrun
