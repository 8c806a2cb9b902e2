// The races bundled in data/demo load cleanly, and every boat passes every
// item of the course in order, but for the ones made to retire.

#include <gtest/gtest.h>

#include "race/loading_sequence.h"

namespace keelrun {
namespace {

struct Bundled {
    const char *file;
    int boats;
    int retired;  // the boat that retires, 0 for none
};

class BundledRaceTest : public ::testing::TestWithParam<Bundled> {};

TEST_P(BundledRaceTest, LoadsAndEveryBoatSailsTheCourse)
{
    const DataFolder folder(KEELRUN_DEMO_DATA);
    RaceState race;
    const LoadResult result = loadRace(race, folder, folder.path(SubFolder::RaceAdmin, GetParam().file));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_TRUE(race.warnings.isEmpty()) << race.warnings.join('\n').toStdString();
    ASSERT_EQ(race.boatCount, GetParam().boats);
    for (int b = 1; b <= race.boatCount; ++b) {
        if (b == GetParam().retired)
            continue;
        const BoatEntry &boat = race.boats[b];
        for (int k = 1; k <= race.courseLength(); ++k) {
            ASSERT_TRUE(passed(boat.roundingTime[k])) << boat.name.toStdString() << " item " << k;
            if (k > 1) {
                EXPECT_LT(boat.roundingTime[k - 1], boat.roundingTime[k]) << boat.name.toStdString() << " item " << k;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Demo, BundledRaceTest,
                         ::testing::Values(Bundled{"hayama-autumn.txt", 20, 0}, Bundled{"solent-evening.txt", 7, 6},
                                           Bundled{"valencia-2025-p01.txt", 2, 0}, Bundled{"valencia-2025-p02.txt", 2, 0},
                                           Bundled{"foiler-sprint.txt", 8, 0}));

}  // namespace
}  // namespace keelrun
