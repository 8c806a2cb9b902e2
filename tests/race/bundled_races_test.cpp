// The races bundled in data/demo load cleanly, and every boat passes every
// item of the course in order, but for the ones made to retire.

#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "race/loading_sequence.h"
#include "race/plane.h"

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

// The metres from a point to the nearest stretch of shore, each polyline of
// the loaded coastline taken as straight pieces between its points, on the
// race's flat projection.
double metresToShore(GeoPoint at, const std::vector<CoastPoint> &shore, double cosLat)
{
    const auto x = [&](double lon) { return (lon - at.lon) * kMetresPerMinute * cosLat; };
    const auto y = [&](double lat) { return (lat - at.lat) * kMetresPerMinute; };
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < shore.size(); ++i) {
        const double bx = x(shore[i].lon), by = y(shore[i].lat);
        if (i == 0 || shore[i].start) {
            nearest = std::min(nearest, std::hypot(bx, by));
            continue;
        }
        const double ax = x(shore[i - 1].lon), ay = y(shore[i - 1].lat);
        const double dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
        const double t = length2 > 0 ? std::clamp(-(ax * dx + ay * dy) / length2, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(ax + t * dx, ay + t * dy));
    }
    return nearest;
}

// The Hayama race is sailed off Zushi and Kamakura in Sagami Bay: its grid
// square's coastline lies within sight of every mark, no mark is laid nearer
// the shore than half a mile and no boat sails within 300 m of it, and the
// light list of the square holds a light near the course.
TEST(BundledRaces, HayamaIsSailedInSightOfItsShoreAndLights)
{
    const DataFolder folder(KEELRUN_DEMO_DATA);
    RaceState race;
    const LoadResult result = loadRace(race, folder, folder.path(SubFolder::RaceAdmin, "hayama-autumn.txt"));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_TRUE(race.warnings.isEmpty()) << race.warnings.join('\n').toStdString();
    EXPECT_TRUE(race.mapParams.contains("5239")) << race.mapParams.join(',').toStdString();
    ASSERT_GT(race.coastPoints.size(), 10u);
    const double cosLat = race.extent.cosLat;

    ASSERT_GT(race.markCount, 0);
    for (int m = 1; m <= race.markCount; ++m) {
        const GeoPoint mark{race.marks[m].lat, race.marks[m].lon};
        const double shore = metresToShore(mark, race.coastPoints, cosLat);
        EXPECT_LT(shore, 3000) << "MK" << m;
        EXPECT_GT(shore, 926) << "MK" << m;
    }
    for (int b = 1; b <= race.boatCount; ++b) {
        const BoatEntry &boat = race.boats[b];
        for (int i = 1; i <= boat.sampleCount(); ++i) {
            const double shore = metresToShore({boat.samples[i].lat, boat.samples[i].lon}, race.coastPoints, cosLat);
            ASSERT_GT(shore, 300) << boat.name.toStdString() << " fix " << i;
        }
    }

    ASSERT_FALSE(race.lights.empty());
    const auto nearTheCourse = [&](const Light &light) {
        for (int m = 1; m <= race.markCount; ++m) {
            const GeoPoint mark{race.marks[m].lat, race.marks[m].lon};
            if (rangeAndBearing(mark, {light.lat, light.lon}, cosLat, 0).range < 5000)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(std::any_of(race.lights.begin(), race.lights.end(), nearTheCourse));
}

}  // namespace
}  // namespace keelrun
