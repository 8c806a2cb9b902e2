// Reads track files written by gpsbabel, an independent converter, and
// compares them with the track they were made from.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "io/tracks/track_reader.h"
#include "test_folder.h"

namespace keelrun {
namespace {

constexpr int kFixes = 300;

// Fix i of the source track: one a second from the gun at 2009-05-03
// 02:00:00 UTC, zig-zagging south-west of 0°/0° so that both hemisphere
// signs are exercised.
TrackSample sourceFix(int i)
{
    return {static_cast<double>(i), -(35 * 60 + 0.01 * i), -(139 * 60 + 0.02 * i + (i % 7) * 0.003), 0, 0};
}

QByteArray sourceGpx()
{
    QByteArray gpx = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" "
                     "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><name>T</name><trkseg>\n";
    for (int i = 0; i < kFixes; ++i) {
        const TrackSample s = sourceFix(i);
        gpx += QStringLiteral("<trkpt lat=\"%1\" lon=\"%2\"><time>2009-05-03T02:%3:%4Z</time></trkpt>\n")
                   .arg(s.lat / 60, 0, 'f', 9)
                   .arg(s.lon / 60, 0, 'f', 9)
                   .arg(i / 60, 2, 10, QLatin1Char('0'))
                   .arg(i % 60, 2, 10, QLatin1Char('0'))
                   .toUtf8();
    }
    return gpx + "</trkseg></trk></gpx>\n";
}

struct Case {
    const char *gpsbabelFormat;  // with its options
    TrackDecoder decode;
    double tolerance;  // minutes of arc the format keeps (NMEA: 0.001', float32: ~1e-5 degrees)
};

class GpsbabelCrossCheck : public ::testing::TestWithParam<Case> {};

TEST_P(GpsbabelCrossCheck, ReadsBackTheSourceTrack)
{
    const QString gpsbabel = QStandardPaths::findExecutable("gpsbabel");
    if (gpsbabel.isEmpty())
        GTEST_SKIP() << "gpsbabel is not installed (scripts/install-deps installs it)";
    test::TestFolder t;
    const QString source = t.write("source.gpx", sourceGpx());
    const QString target = t.path("converted");
    QProcess p;
    p.start(gpsbabel, {"-t", "-i", "gpx", "-f", source, "-o", GetParam().gpsbabelFormat, "-F", target});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    RaceState race;
    race.startTimeUtc = makeDateTime(2009, 5, 3, 2, 0, 0);
    race.raceDate = makeDateTime(2009, 5, 3);
    BoatEntry &boat = race.boats[1];
    FixSink sink(race, boat);
    GetParam().decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), {"converted", race.raceDate}, sink);

    EXPECT_EQ(sink.damaged(), 0) << sink.firstDamage().toStdString();
    EXPECT_TRUE(sink.warnings().isEmpty()) << sink.warnings().join('\n').toStdString();  // a FIT file's CRCs match
    ASSERT_EQ(boat.sampleCount(), kFixes);
    for (int i = 0; i < kFixes; ++i) {
        const TrackSample &read = boat.samples[i + 1];
        const TrackSample expected = sourceFix(i);
        ASSERT_EQ(read.time, expected.time) << i;
        ASSERT_NEAR(read.lat, expected.lat, GetParam().tolerance) << i;
        ASSERT_NEAR(read.lon, expected.lon, GetParam().tolerance) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, GpsbabelCrossCheck,
                         ::testing::Values(Case{"gpx", readGpx, 1e-6}, Case{"nmea", readNmea, 0.0006},
                                           Case{"gdb", readGdb, 1e-5}, Case{"gnav_trl", readTrl, 0.001},
                                           Case{"gtrnctr", readTcx, 1e-5}, Case{"gtrnctr,course=0", readTcx, 1e-5},
                                           Case{"garmin_fit", readFit, 1e-5}),
                         [](const auto &param) {
                             std::string name = param.param.gpsbabelFormat;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

}  // namespace
}  // namespace keelrun
