#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include <QProcess>

#include "cli/inspect.h"
#include "race/loading_sequence.h"
#include "test_folder.h"
#include "track_builders.h"

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

// With --at the fleet's live numbers at that moment: the running order,
// each boat's leg, speeds and gaps.
TEST(Inspect, LiveNumbersAtAMoment)
{
    QProcess keelrun;
    keelrun.start(KEELRUN_BINARY, {"--inspect", "valencia-2025-p01.txt", "--at", "600", KEELRUN_DEMO_DATA});
    ASSERT_TRUE(keelrun.waitForFinished(30000));
    ASSERT_EQ(keelrun.exitCode(), 0) << keelrun.readAllStandardError().toStdString();
    const auto live = nlohmann::json::parse(keelrun.readAllStandardOutput().toStdString())["live"];
    EXPECT_EQ(live["raceClock"], 600);
    ASSERT_EQ(live["boats"].size(), 2u);
    for (const auto &boat : live["boats"]) {
        for (const char *key : {"rank", "leg", "progressMetres", "distanceToGoMetres", "gapSeconds", "gapMetres", "sog", "cog", "vmg"})
            EXPECT_TRUE(boat.contains(key)) << key;
        EXPECT_EQ(boat["leg"], 2);                 // the first run, ten minutes after the gun
        EXPECT_LT(boat["vmg"].get<double>(), 0);   // away from the wind
        EXPECT_GT(boat["sog"].get<double>(), 3);
    }
    EXPECT_EQ(live["boats"][0]["rank"], 1);
    EXPECT_EQ(live["boats"][0]["gapSeconds"], 0);
    EXPECT_GT(live["boats"][1]["gapMetres"].get<double>(), 0);
}

// A boat whose logger is its start timer shows the gun as its timer had it
// and the line ends it pinged; any other boat nothing of the kind, and a
// boat whose .vkx file is no log is left out saying why.
TEST(Inspect, ShowsTheStartALoggerRecordedOnlyWhereThereIsOne)
{
    constexpr std::uint64_t gun = test::kGunUnix * 1000;
    std::string log = test::kVkxHeader + test::vkxPing(gun - 300000, 0, 35.25f, 139.5f) + test::vkxPing(gun - 290000, 1, 35.5f, 139.75f);
    for (std::uint64_t k = 0; k < 20; ++k)
        log += test::vkxPosition(gun + 500 * k, 350000000, 1390000000) + (k == 2 ? test::vkxTimer(gun + 1250, 3) : "");
    test::TestFolder t;
    t.write("gpsdat/a.vkx", QByteArray::fromStdString(log));
    t.write("gpsdat/b.gpx", test::gpxTrack("2009-05-03T02:00:00", 20));
    t.write("gpsdat/c.vkx", test::gpxTrack("2009-05-03T02:00:00", 20));
    const QString race = t.write("raceadmin/race01.txt", "ST,2009/05/03 11:00:00\r\nTD,9\r\nBN,a.vkx,Atlas,0,1\r\n"
                                                         "BN,b.gpx,Plain\r\nBN,c.vkx,Misnamed\r\n");
    RaceState state;
    ASSERT_TRUE(loadRace(state, t.folder(), race).ok());
    const auto j = nlohmann::json::parse(inspectJson(state));
    ASSERT_EQ(j["boats"].size(), 2u);
    EXPECT_EQ(j["boats"][0]["loggedStart"], nlohmann::json::parse(R"({"timerGun": 2.25, "pinEnd": {"lat": 2115, "lon": 8370},
                                                                      "boatEnd": {"lat": 2130, "lon": 8385}})"));
    EXPECT_FALSE(j["boats"][1].contains("loggedStart"));
    EXPECT_TRUE(state.warnings.contains("Misnamed (c.vkx): not a VKX log: no page header (key 0xFF, 8 bytes) at byte 0; the "
                                        "file begins 0x3C 0x3F 0x78 0x6D 0x6C 0x20 0x76 0x65; the boat is left out"))
        << state.warnings.join('\n').toStdString();
}

}  // namespace
}  // namespace keelrun
