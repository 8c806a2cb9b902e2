#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include <QStringEncoder>

#include "race/loading_sequence.h"
#include "test_folder.h"
#include "track_builders.h"

namespace keelrun {
namespace {

// A race from 2009/05/03 11:00:00 local, 9 hours ahead of UTC.
const QByteArray kRaceHead = "ST,2009/05/03 11:00:00\r\nFT,2009/05/03 12:00:00\r\nTD,9\r\n";

class TrackLoadingTest : public ::testing::Test {
protected:
    void writeGpx(const QString &name, int fixes) { t.write("gpsdat/" + name, test::gpxTrack("2009-05-03T02:00:00", fixes)); }

    LoadResult load(const QByteArray &boats, const LoadOptions &options = {})
    {
        const QString path = t.write("raceadmin/race01.txt", kRaceHead + boats);
        LoadListener listener;
        listener.progress = [this](const LoadProgress &p) { statuses << p.status; };
        listener.beep = [this] { ++beeps; };
        return loadRace(state, t.folder(), path, listener, options);
    }

    test::TestFolder t;
    RaceState state;
    QStringList statuses;
    int beeps = 0;
};

TEST_F(TrackLoadingTest, BoatsWithTooFewFixesAreDroppedAndTheRestMoveUp)
{
    writeGpx("a.gpx", 20);
    writeGpx("b.gpx", 14);
    writeGpx("c.gpx", 15);
    t.write("gpsdat/d.xyz", "unknown format");
    const LoadResult r = load("BN,a.gpx,Alpha\r\nBN,b.gpx,Bravo,0,0,hide\r\nBN,d.xyz,Delta\r\nBN,c.gpx,Charlie,1.05,-2\r\n");
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(state.droppedBoats, 2);
    ASSERT_EQ(state.boatCount, 2);
    EXPECT_EQ(state.boats[1].name, "Alpha");
    const BoatEntry &charlie = state.boats[2];
    EXPECT_EQ(charlie.name, "Charlie");
    EXPECT_EQ(charlie.trackFile, "c.gpx");
    EXPECT_DOUBLE_EQ(charlie.handicap, 1.05);
    EXPECT_EQ(charlie.clockOffset, -2);
    EXPECT_EQ(charlie.shown, 1);
    EXPECT_EQ(charlie.sampleCount(), 15);
    EXPECT_EQ(charlie.samples[1].time, -2);
    EXPECT_EQ(state.boats[3].sampleCount(), 0);
    EXPECT_TRUE(state.boats[3].name.isEmpty());
    EXPECT_EQ(state.warnings.filter("left out").size(), 2);
    EXPECT_TRUE(state.warnings.contains("Delta (d.xyz): track files ending .xyz are not known; the boat is left out"))
        << state.warnings.join('\n').toStdString();
    EXPECT_TRUE(state.warnings.contains("Bravo (b.gpx): 14 fixes in the race window; the boat is left out"));
}

// The race's extent takes in the boats that moved up a slot, with their
// own tracks: Charlie's runs on beyond Alpha's.
TEST_F(TrackLoadingTest, TheExtentTakesInTheBoatsThatMovedUp)
{
    writeGpx("a.gpx", 16);
    writeGpx("b.gpx", 14);
    writeGpx("c.gpx", 300);
    ASSERT_TRUE(load("BN,a.gpx,Alpha\r\nBN,b.gpx,Bravo\r\nBN,c.gpx,Charlie\r\n").ok());
    ASSERT_EQ(state.boatCount, 2);
    const TrackSample &last = state.boats[2].samples.back();
    EXPECT_EQ(state.extent.maxLat, last.lat);
    EXPECT_EQ(state.extent.maxLon, last.lon);
    EXPECT_EQ(state.extent.minLat, state.boats[1].samples[1].lat);
}

TEST_F(TrackLoadingTest, ProgressNamesEachTrack)
{
    writeGpx("a.gpx", 20);
    writeGpx("b.gpx", 20);
    ASSERT_TRUE(load("BN,a.gpx,Alpha\r\nBN,b.gpx,Bravo\r\n").ok());
    EXPECT_TRUE(statuses.contains("LOADING  a.gpx  (1/2)"));
    EXPECT_TRUE(statuses.contains("LOADING  b.gpx  (2/2)"));
    EXPECT_EQ(beeps, 1);  // speed and heading derived
}

// A damaged point is passed over and the race loads: each file with damage
// gives one warning, in race-file order though tracks are read several at
// once, and only a file left without enough fixes leaves its boat out.
TEST_F(TrackLoadingTest, DamagedPointsAreSkippedWithOneWarningPerFile)
{
    for (const char *name : {"a.gpx", "c.gpx", "e.gpx", "f.gpx"})
        writeGpx(name, 20);
    const QByteArray damaged = "<trkpt lat=\"35x\" lon=\"139\"><time>2009-05-03T02:00:00Z</time></trkpt>\n";
    QByteArray track = test::gpxTrack("2009-05-03T02:00:01", 20);
    t.write("gpsdat/b.gpx", damaged + track.insert(track.indexOf("</trkseg>"), damaged));
    t.write("gpsdat/d.gpx", damaged);
    const LoadResult r = load("BN,a.gpx,A\r\nBN,b.gpx,B\r\nBN,c.gpx,C\r\nBN,d.gpx,D\r\nBN,e.gpx,E\r\nBN,f.gpx,F\r\n");
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(state.boatCount, 5);
    EXPECT_EQ(state.boats[2].sampleCount(), 20);
    EXPECT_EQ(r.warnings.join('\n').toStdString(),
              "gpsdat/b.gpx: 2 damaged records were skipped; the first, line 1 (byte 12): \"35x\" is not a number\n"
              "gpsdat/d.gpx: 1 damaged record was skipped, line 1 (byte 12): \"35x\" is not a number\n"
              "D (d.gpx): 0 fixes in the race window; the boat is left out");
}

// Where a boat drifting north-east at 0.28 knots is `second` seconds after
// 02:00:00 UTC, as a GPX point and as an RMC sentence.
std::string gpxPointAt(int second)
{
    char point[128];
    std::snprintf(point, sizeof point, "<trkpt lat=\"%.7f\" lon=\"%.7f\"><time>2009-05-03T02:%02d:%02dZ</time></trkpt>\n",
                  35 + second * 1e-6, 139 + second * 1e-6, second / 60, second % 60);
    return point;
}

std::string rmcAt(int second)
{
    char body[96];
    std::snprintf(body, sizeof body, "GPRMC,02%02d%02d,A,%.6f,N,%.6f,E,0.3,45.0,030509,,", second / 60, second % 60,
                  3500 + second * 6e-5, 13900 + second * 6e-5);
    return test::nmea(body);
}

// Segments that overlap by 30 s, as some loggers join them, and a sentence
// 59 s back in time: each track is put in time order, each second kept once
// (its first fix in the file), and each file named with its counts. A fix
// back in time would otherwise be a leap at great speed.
TEST_F(TrackLoadingTest, FixesArePutInTimeOrderWithEachSecondOnce)
{
    std::string gpx = "<gpx><trk><trkseg>\n";
    for (int s = 0; s < 120; ++s)
        gpx += gpxPointAt(s);
    gpx += "</trkseg><trkseg>\n";
    for (int s = 90; s < 150; ++s)
        gpx += gpxPointAt(s);
    t.write("gpsdat/a.gpx", QByteArray::fromStdString(gpx + "</trkseg></trk></gpx>\n"));
    std::string log;
    for (int s = 0; s < 240; s += 2)
        log += rmcAt(s) + (s == 100 ? rmcAt(41) : "");
    t.write("gpsdat/b.log", QByteArray::fromStdString(log));

    ASSERT_TRUE(load("BN,a.gpx,A\r\nBN,b.log,B\r\n").ok());
    EXPECT_EQ(state.warnings.join('\n').toStdString(),
              "gpsdat/a.gpx: 29 fixes out of time order were put in order; 30 fixes at a time already taken were dropped\n"
              "gpsdat/b.log: 1 fix out of time order was put in order");
    for (const int b : {1, 2}) {
        const auto &s = state.boats[b].samples;
        const auto notLater = [](const TrackSample &x, const TrackSample &y) { return y.time <= x.time; };
        EXPECT_EQ(std::adjacent_find(s.begin() + 1, s.end(), notLater), s.end()) << b;
    }
    EXPECT_EQ(state.boats[1].sampleCount(), 150);
    EXPECT_EQ(state.boats[2].sampleCount(), 121);
    EXPECT_EQ(state.boats[2].samples[22].time, 41);
    EXPECT_LT(state.topSpeed, 0.5);  // not the leap back and forth of the sentence out of order
}

// A logger that writes a fix twice running, in time order otherwise: the
// second is dropped as well.
TEST_F(TrackLoadingTest, AFixWrittenTwiceRunningIsDropped)
{
    std::string gpx = "<gpx><trk><trkseg>\n";
    for (int s = 0; s < 30; ++s)
        gpx += gpxPointAt(s) + (s == 10 ? gpxPointAt(s) : "");
    t.write("gpsdat/a.gpx", QByteArray::fromStdString(gpx + "</trkseg></trk></gpx>\n"));
    ASSERT_TRUE(load("BN,a.gpx,A\r\n").ok());
    EXPECT_EQ(state.warnings.join('\n').toStdString(), "gpsdat/a.gpx: 1 fix at a time already taken was dropped");
    EXPECT_EQ(state.boats[1].sampleCount(), 30);
}

// Text tracks saved as UTF-16 with a byte-order mark, in either byte order,
// read as their UTF-8 text does. A binary track whose first bytes happen to
// be a mark is read as it is.
TEST_F(TrackLoadingTest, Utf16TextTracksAreRead)
{
    const auto utf16 = [](const QByteArray &utf8, QStringConverter::Encoding encoding) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        return QByteArray(encoder.encode(QString::fromUtf8(utf8)));
    };
    t.write("gpsdat/le.gpx", utf16(test::gpxTrack("2009-05-03T02:00:00", 20), QStringConverter::Utf16LE));
    std::string log;
    for (int s = 0; s < 30; ++s)
        log += rmcAt(s);
    t.write("gpsdat/be.log", utf16(QByteArray::fromStdString(log), QStringConverter::Utf16BE));
    std::string trb = test::fixedRecords(20, 12);
    test::putInt(trb, 0, static_cast<std::int32_t>((test::kGunUnix & ~0xffff) | 0xfeff));  // "FF FE" and later than the rest
    t.write("gpsdat/mark.trb", QByteArray::fromStdString(trb));

    ASSERT_TRUE(load("BN,le.gpx,A\r\nBN,be.log,B\r\nBN,mark.trb,C\r\n").ok());
    ASSERT_EQ(state.boatCount, 3);
    EXPECT_EQ(state.boats[1].sampleCount(), 20);
    EXPECT_DOUBLE_EQ(state.boats[1].samples[20].lat, (35 + 19 * 1e-5) * 60);
    EXPECT_EQ(state.boats[2].sampleCount(), 30);
    EXPECT_EQ(state.boats[3].sampleCount(), 20);
}

// With no boat left the load says why each boat was left out; "GPS file not
// exists." stays for a race none of whose track files is there.
TEST_F(TrackLoadingTest, AllBoatsDroppedIsNoRaceAndSaysWhy)
{
    writeGpx("a.gpx", 3);
    t.write("gpsdat/b.log", QByteArray::fromStdString(test::nmea("GPGSV,3,1,11,01,02,03,04")));
    const LoadResult r = load("BN,a.gpx,Alpha\r\nBN,b.log,Bravo\r\nBN,c.gpx,Charlie\r\n");
    EXPECT_EQ(r.outcome, LoadResult::NoBoats);
    EXPECT_EQ(r.message.toStdString(), "No boat has a usable track:\n"
                                       "Alpha (a.gpx): 3 fixes in the race window; the boat is left out\n"
                                       "Bravo (b.log): no RMC, GGA or GLL sentences; the file has 1 GSV sentence; the boat is left out");
    EXPECT_EQ(load("BN,c.gpx,Charlie\r\n").message, "GPS file not exists.");
}

// An NMEA log without sentences that give positions says what it holds,
// its sentences counted by type whatever their talker, most first; one with
// such sentences that give no fix in the race says so.
TEST_F(TrackLoadingTest, AnNmeaLogWithoutPositionsSaysWhatItHolds)
{
    const auto sentences = [](const std::string &body, int times) { return QByteArray::fromStdString(test::nmea(body)).repeated(times); };
    t.write("gpsdat/zda.log", "garbage\r\n$GPGGA\r\n!AIVDM,1,1,,A,13u?etPv2;0n:dDPwUM1U1Cb069D,0*23\r\n" +
                                  sentences("IIMWV,227,R,12.5,N,A", 40) + sentences("GPGSV,3,1,11,01,02,03,04", 20) +
                                  sentences("WIMWV,227,T,11.0,N,A", 20) + sentences("GPZDA,020010,03,05,2009,00,00", 4));
    t.write("gpsdat/early.log", QByteArray::fromStdString(test::nmea("GPRMC,010001,A,3452.5,N,13545.0,E,5.5,054.7,030509,,") +
                                                            test::nmea("GPGGA,010002,3452.5,N,13545.0,E,1,08,0.9,5,M,46.9,M,,")));
    t.write("gpsdat/void.log", sentences("GPGLL,,,,,020010,V,N", 30));
    t.write("gpsdat/other.log", "$PGRMZ,93,f,3*21\r\n");
    t.write("gpsdat/many.log", "$IIMWV,1\r\n$IIMWV,2\r\n$IIHDG,1\r\n$IIHDG,2\r\n$IIDPT,1\r\n$IIDPT,2\r\n$IIVHW,1\r\n$IIVHW,2\r\n"
                               "$IIMTW,1\r\n$IIXDR,1\r\n$IIDBT,1\r\n$IIDBT,2\r\n$IIDBT,3\r\n");
    writeGpx("a.gpx", 20);
    ASSERT_TRUE(load("BN,a.gpx,A\r\nBN,zda.log,B\r\nBN,early.log,C\r\nBN,void.log,D\r\nBN,other.log,E\r\nBN,many.log,F\r\n").ok());
    EXPECT_EQ(state.warnings.join('\n').toStdString(),
              "B (zda.log): no RMC, GGA or GLL sentences; the file has 60 MWV, 20 GSV, 4 ZDA and 1 VDM sentences; the boat is left out\n"
              "C (early.log): 0 fixes in the race window; the boat is left out\n"
              "D (void.log): 0 fixes in the race window; the boat is left out\n"
              "E (other.log): no RMC, GGA or GLL sentences; the file has 1 RMZ sentence; the boat is left out\n"
              "F (many.log): no RMC, GGA or GLL sentences; the file has 3 DBT, 2 DPT, 2 HDG, 2 MWV and 4 other sentences; the boat is left out");
}

// TCX and CSV tracks are chosen by their ending and read as text, so a
// spreadsheet's CSV saved as UTF-16 reads too. A CSV whose header names no
// track columns says which header it saw.
TEST_F(TrackLoadingTest, TcxAndCsvTracksAreReadAsText)
{
    QByteArray tcx = "<TrainingCenterDatabase><Activities><Activity><Lap><Track>\n";
    QByteArray csv = "Timestamp;Latitude;Longitude\r\n";
    for (int s = 0; s < 20; ++s) {
        const QByteArray time = QStringLiteral("2009-05-03T02:00:%1Z").arg(s, 2, 10, QLatin1Char('0')).toUtf8();
        tcx += "<Trackpoint><Time>" + time + "</Time><Position><LatitudeDegrees>35.5</LatitudeDegrees>"
               "<LongitudeDegrees>139.25</LongitudeDegrees></Position></Trackpoint>\n";
        csv += time + ";35.5;139.25\r\n";
    }
    t.write("gpsdat/a.tcx", tcx + "</Track></Lap></Activity></Activities></TrainingCenterDatabase>\n");
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    t.write("gpsdat/b.CSV", QByteArray(utf16.encode(QString::fromUtf8(csv))));
    t.write("gpsdat/c.csv", "Date,Speed,Heading\r\n2009-05-03,5.2,211\r\n");
    ASSERT_TRUE(load("BN,a.tcx,A\r\nBN,b.CSV,B\r\nBN,c.csv,C\r\n").ok());
    ASSERT_EQ(state.boatCount, 2);
    EXPECT_EQ(state.boats[1].sampleCount(), 20);
    EXPECT_EQ(state.boats[2].sampleCount(), 20);
    EXPECT_EQ(state.boats[2].samples[20].time, 19);
    EXPECT_EQ(state.warnings.join('\n').toStdString(),
              "C (c.csv): no time, latitude and longitude columns in the header \"Date,Speed,Heading\"; the boat is left out");
}

// A FIT file's wrong CRC is told with the file's name and the track
// loads; a file that is no FIT file leaves its boat out and says why.
TEST_F(TrackLoadingTest, FitTracksLoadAndTellOfTheirDamage)
{
    test::FitFile fit;
    fit.define(0, 20, {{253, 4}, {0, 4}, {1, 4}});
    for (int s = 0; s < 20; ++s)
        fit.data(0, {test::FitFile::timeAfterGun(s), test::semicircles(35.5), test::semicircles(139.25)});
    t.write("gpsdat/a.FIT", QByteArray::fromStdString(fit.bytes()).chopped(1) + 'x');
    writeGpx("b.fit", 20);
    ASSERT_TRUE(load("BN,a.FIT,A\r\nBN,b.fit,B\r\n").ok());
    EXPECT_EQ(state.boats[1].sampleCount(), 20);
    ASSERT_EQ(state.warnings.size(), 2);
    EXPECT_TRUE(state.warnings[0].startsWith("gpsdat/a.FIT: the CRC at byte 289 is 0x78")) << state.warnings[0].toStdString();
    EXPECT_EQ(state.warnings[1].toStdString(), "B (b.fit): not a FIT file: no \".FIT\" at bytes 8 to 11; the boat is left out");
}

TEST_F(TrackLoadingTest, FixIntervalNeedsMoreFixesThanTheFormatsThreshold)
{
    writeGpx("hundred.gpx", 100);
    writeGpx("more.gpx", 101);
    t.write("gpsdat/short.gdb", QByteArray::fromStdString(test::gdbFile(51, test::kGunUnix)));
    t.write("gpsdat/tiny.gdb", QByteArray::fromStdString(test::gdbFile(50, test::kGunUnix)));
    ASSERT_TRUE(load("BN,hundred.gpx,A\r\nBN,more.gpx,B\r\nBN,short.gdb,C\r\nBN,tiny.gdb,D\r\n").ok());
    EXPECT_EQ(state.boats[1].fixInterval, 30);
    EXPECT_EQ(state.boats[2].fixInterval, 1);
    EXPECT_EQ(state.boats[3].fixInterval, 1);
    EXPECT_EQ(state.boats[4].fixInterval, 30);
    EXPECT_EQ(beeps, 3);  // the scanned database reader twice, then the derivation
}

TEST_F(TrackLoadingTest, CorrectedTimeScalesTimesAfterTheGun)
{
    std::string trb = test::fixedRecords(150, 12, 10);
    test::putInt(trb, 0, static_cast<std::int32_t>(test::kGunUnix - 30));
    t.write("gpsdat/a.trb", QByteArray::fromStdString(trb));
    ASSERT_TRUE(load("CT,1\r\nBN,a.trb,A,0.95\r\n").ok());
    const BoatEntry &boat = state.boats[1];
    EXPECT_EQ(state.ctMode, 1);
    EXPECT_EQ(boat.samples[1].time, -30);
    EXPECT_EQ(boat.samples[101].time, 950);
    EXPECT_EQ(boat.samples[4].time, 28);  // 28.5 s kept to the whole seconds of the log, half to even
    EXPECT_EQ(boat.fixInterval, 10);  // measured before the correction

    ASSERT_TRUE(load("CT,1\r\nBN,a.trb,A,0.95\r\n", {.corrected = false}).ok());  // the user goes back to elapsed time
    EXPECT_EQ(state.boats[1].samples[101].time, 1000);
}

}  // namespace
}  // namespace keelrun
