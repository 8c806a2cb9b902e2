// keelrun --check: the organiser's plain-text look at a race, with an exit
// code a script can act on, and no display needed.

#include <gtest/gtest.h>

#include <tuple>

#include <QProcess>
#include <QProcessEnvironment>

#include "cli/check_command.h"
#include "test_folder.h"
#include "track_builders.h"

namespace keelrun {
namespace {

std::tuple<int, QString> check(const test::TestFolder &t, const QString &race)
{
    QProcess keelrun;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    keelrun.setProcessEnvironment(environment);
    keelrun.start(KEELRUN_BINARY, {QStringLiteral("--check"), race, t.path("")});
    EXPECT_TRUE(keelrun.waitForFinished(30000));
    return {keelrun.exitCode(), QString::fromUtf8(keelrun.readAllStandardOutput() + keelrun.readAllStandardError())};
}

TEST(Check, SaysWhatTheRaceHoldsAndExitsByHowItLoaded)
{
    test::TestFolder t;
    t.write("gpsdat/a.gpx", test::gpxTrack("2009-05-03T02:00:00", 20));
    const QByteArray header = "ST,2009/05/03 11:00:00\r\nFT,2009/05/03 12:00:00\r\nTD,9\r\nMK,2100,8200\r\n";
    t.write("raceadmin/clean.txt", header + "BN,a.gpx,One\r\n");
    t.write("raceadmin/warned.txt", header + "BN,a.gpx,One\r\nBN,gone.gpx,Two\r\n");
    t.write("raceadmin/broken.txt", header + "BN,gone.gpx,Two\r\n");

    const auto [cleanExit, clean] = check(t, QStringLiteral("clean.txt"));
    EXPECT_EQ(cleanExit, 0) << clean.toStdString();
    EXPECT_TRUE(clean.contains(QStringLiteral("No warnings."))) << clean.toStdString();
    EXPECT_TRUE(clean.contains(QStringLiteral("1. One (a.gpx): 20 fixes, "))) << clean.toStdString();

    const auto [warnedExit, warned] = check(t, QStringLiteral("warned.txt"));
    EXPECT_EQ(warnedExit, 1) << warned.toStdString();
    EXPECT_TRUE(warned.contains(QStringLiteral("1 warning:\n  "))) << warned.toStdString();
    EXPECT_TRUE(warned.contains(QStringLiteral("gone.gpx"))) << warned.toStdString();

    const auto [brokenExit, broken] = check(t, QStringLiteral("broken.txt"));
    EXPECT_EQ(brokenExit, 2) << broken.toStdString();
    EXPECT_TRUE(broken.contains(QStringLiteral("broken.txt: cannot be loaded: "))) << broken.toStdString();
    EXPECT_EQ(std::get<0>(check(t, QStringLiteral("nowhere.txt"))), 2);
}

// Each boat's passings on the race clock, its rank, and what went wrong.
TEST(Check, ReportsEachBoatsPassings)
{
    RaceState race;
    race.raceFilePath = QStringLiteral("/data/raceadmin/race01.txt");
    race.title = QStringLiteral("Spring Cup");
    race.startTime = makeDateTime(2009, 5, 3, 11, 0, 0);
    race.course = {QStringLiteral("L1"), QStringLiteral("MK1"), QStringLiteral("L2")};
    race.boatCount = 2;
    race.boats[1].name = QStringLiteral("One");
    race.boats[1].trackFile = QStringLiteral("a.gpx");
    race.boats[1].samples.push_back({-60, 0, 0, 0, 0});
    race.boats[1].samples.push_back({3725, 0, 0, 0, 0});
    race.boats[1].roundingTime[1] = 4.4;
    race.boats[1].roundingTime[2] = 754;
    race.boats[1].roundingTime[3] = 3723;
    race.boats[1].finishRank = 1;
    race.boats[2].name = QStringLiteral("Two");
    race.boats[2].trackFile = QStringLiteral("b.gpx");
    race.boats[2].roundingTime[1] = 45;
    race.boats[2].overEarly = true;
    race.boats[2].missedItem = 2;
    const QString report = checkReport(race, {});
    EXPECT_TRUE(report.startsWith(QStringLiteral("race01.txt: Spring Cup "))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral(", 2 boats, course L1 MK1 L2\nNo warnings.\n"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("1. One (a.gpx): 2 fixes, "))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("   start 0:04, MK1 12:34, finish 1:02:03, rank 1\n"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("2. Two (b.gpx): 0 fixes\n   start 0:45, MK1 -, finish -, no finish rank, over early"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("missed MK1"))) << report.toStdString();
}

}  // namespace
}  // namespace keelrun
