#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <QProcess>

#include "cli/inspect.h"
#include "race/loading_sequence.h"
#include "test_folder.h"

namespace keelrun {
namespace {

TEST(Inspect, PrintsTheRaceAsJson)
{
    test::TestFolder t;
    t.write("gpsdat/a.gpx", test::gpxTrack("2009-05-03T02:00:00", 20));
    const QString race = t.write("raceadmin/race01.txt", "ST,2009/05/03 11:00:00\r\nTD,9\r\nMK,1.5,2\r\nBN,a.gpx,One,1.02,-3,h\r\n");
    RaceState state;
    ASSERT_TRUE(loadRace(state, t.folder(), race).ok());
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

// The command line prints the load's warnings on stderr, also those of a load
// that then fails, and keeps stdout for the JSON.
TEST(Inspect, CommandLinePrintsTheWarnings)
{
    test::TestFolder t;
    t.write("gpsdat/a.gpx", test::gpxTrack("2009-05-03T02:00:00", 20));
    t.write("raceadmin/good.txt", "ST,2009/05/03 11:00:00\r\nTD,9\r\nBN,a.gpx,One\r\nBN,gone.gpx,Two\r\n");
    t.write("raceadmin/bad.txt", "ST,2009/05/03 11:00:00\r\nBN,gone.gpx,Two\r\nBN,a.gpx,One\r\nPS,fast\r\n");
    auto run = [&](const QString &race) {
        QProcess keelrun;
        keelrun.start(KEELRUN_BINARY, {QStringLiteral("--inspect"), race, t.path("")});
        EXPECT_TRUE(keelrun.waitForFinished(30000));
        return std::tuple{keelrun.exitCode(), QString::fromUtf8(keelrun.readAllStandardOutput()),
                          QString::fromUtf8(keelrun.readAllStandardError())};
    };
    const auto [goodExit, goodOut, goodErr] = run(QStringLiteral("good.txt"));
    EXPECT_EQ(goodExit, 0);
    EXPECT_TRUE(goodErr.contains(QStringLiteral("keelrun: warning: good.txt:4: track file \"gone.gpx\""))) << goodErr.toStdString();
    EXPECT_EQ(nlohmann::json::parse(goodOut.toStdString())["boatCount"], 1);

    const auto [badExit, badOut, badErr] = run(QStringLiteral("bad.txt"));
    EXPECT_EQ(badExit, 2);
    EXPECT_TRUE(badOut.isEmpty());
    EXPECT_TRUE(badErr.contains(QStringLiteral("keelrun: warning: bad.txt:2"))) << badErr.toStdString();
    EXPECT_TRUE(badErr.contains(QStringLiteral("\"fast\""))) << badErr.toStdString();
}

}  // namespace
}  // namespace keelrun
