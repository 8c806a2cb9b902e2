#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/inspect.h"
#include "race/loading_sequence.h"
#include "test_folder.h"

namespace keelrun {
namespace {

class InspectTest : public ::testing::Test {
protected:
    // A track from the gun of a race starting 2009/05/03 11:00:00 (UTC).
    void writeTrack(const QString &name, int fixes = 20)
    {
        t.write("gpsdat/" + name, test::gpxTrack("2009-05-03T11:00:00", fixes));
    }

    LoadResult load(const QByteArray &text)
    {
        const QString path = t.write("raceadmin/race01.txt", text);
        return loadRace(state, t.folder(), path);
    }
    test::TestFolder t;
    RaceState state;
};

TEST_F(InspectTest, PrintsTheRaceAsJson)
{
    writeTrack("a.gpx");
    ASSERT_TRUE(load("ST,2009/05/03 11:00:00\r\nTD,9\r\nMK,1.5,2\r\nBN,a.gpx,One,1.02,-3,h\r\n").ok());
    const auto j = nlohmann::json::parse(inspectJson(state));
    EXPECT_EQ(j["startTime"], "2009-05-03T11:00:00");
    EXPECT_EQ(j["startTimeUtc"], "2009-05-03T02:00:00Z");
    EXPECT_EQ(j["windowStart"], -190);
    EXPECT_EQ(j["marks"][0]["lat"], 1.5);
    ASSERT_EQ(j["boats"].size(), 1u);
    EXPECT_EQ(j["boats"][0]["name"], "One");
    EXPECT_EQ(j["boats"][0]["colour"], "#FF0000");
    EXPECT_EQ(j["boats"][0]["kmlColour"], "FFFF0000");
    EXPECT_EQ(j["boats"][0]["clockOffset"], -3);
    EXPECT_EQ(j["boats"][0]["shown"], 0);
}

}  // namespace
}  // namespace keelrun
