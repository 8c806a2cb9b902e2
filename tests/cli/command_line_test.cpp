// The command line as a user types it: every refusal names its option and
// why; times as the race clock or a time of day; files in the format their
// names ask for.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "cli/command_line.h"
#include "test_folder.h"

namespace keelrun {
namespace {

struct Refusal {
    QStringList arguments;
    const char *said;
};

TEST(CommandLineRefusals, EachNamesTheOptionAndWhy)
{
    const Refusal refusals[] = {
        {{"--render", "r.txt", "--at", "60", "--size", "100000x100000", "-o", "a.png"}, "--size 100000x100000: at most 7680x4320"},
        {{"--render", "r.txt", "--at", "60", "--size", "big", "-o", "a.png"}, "--size big: give WIDTHxHEIGHT"},
        {{"--video", "r.txt", "--from", "660", "--to", "600", "-o", "v.mp4"}, "--from 660 is not before --to 600"},
        {{"--video", "r.txt", "--speed", "0", "-o", "v.mp4"}, "--speed 0: 1 to 1500"},
        {{"--video", "r.txt", "--fps", "500", "-o", "v.mp4"}, "--fps 500: 1 to 120"},
        {{"--video", "r.txt", "-o", "x.avi"}, "-o x.avi: name the file .mp4, .webm or .mkv"},
        {{"--video", "r.txt"}, "--video needs -o FILE"},
        {{"--render", "r.txt", "--at", "60", "-o", "r.bmp"}, "-o r.bmp: name the file .png, .jpg or .webp"},
        {{"--render", "r.txt", "--at", "noon", "-o", "a.png"}, "--at noon: give seconds on the race clock"},
        {{"--render", "r.txt", "--at", "25:00:00", "-o", "a.png"}, "--at 25:00:00"},
        {{"--render", "r.txt", "-o", "a.png"}, "--render of the track page needs --at TIME"},
        {{"--render", "r.txt", "--at", "60", "--zoom", "150", "-o", "a.png"}, "--zoom 150: 0 to 100"},
        {{"--render", "r.txt", "--at", "60", "--north-up", "--wind-up", "-o", "a.png"}, "--north-up and --wind-up"},
        {{"--screenshot", "r.txt", "--page", "polar", "-o", "a.png"}, "--page polar: track, graph, analysis, start, gaps, legs, polars or compare"},
        {{"--screenshot", "r.txt", "--at", "60", "--lang", "fr", "-o", "a.png"}, "--lang fr: ja or en"},
        {{"--export-csv", "r.txt", "--zoom", "50"}, "--zoom applies to --render and --video, not to --export-csv"},
        {{"--inspect", "r.txt", "-o", "x.json"}, "-o applies to"},
        {{"--export-polars", "r.txt", "--ct"}, "--ct applies to --inspect, --render, --export-csv, --export-manoeuvres, --export-legs and --video, not to --export-polars"},
        {{"--export-legs", "r.txt", "--export-polars", "r.txt"}, "--export-legs and --export-polars: give one of them"},
        {{"--race", "r.txt", "--at", "60"}, "--at applies to --render, --screenshot, --export-kml and --inspect, not to the window"},
        {{"--video", "r.txt", "--speed-colours", "-o", "v.mp4"}, "--speed-colours applies to --render and --screenshot, not to --video"},
        {{"--race", "r.txt", "--speed-colours"}, "--speed-colours applies to --render and --screenshot, not to the window"},
        {{"--render", "r.txt", "--video", "r.txt"}, "--render and --video: give one of them"},
        {{"--bogus"}, "Unknown option 'bogus'"},
        {{"one", "two"}, "one two: one data folder at most"},
    };
    for (const Refusal &r : refusals) {
        testing::internal::CaptureStderr();
        const CommandLine command = parseCommandLine(r.arguments);
        const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(command.mode, CommandLine::Done) << r.said;
        EXPECT_EQ(command.exitCode, kExitError) << r.said;
        EXPECT_TRUE(said.contains(QLatin1String(r.said))) << "wanted \"" << r.said << "\", said " << said.toStdString();
    }
}

TEST(CommandLineTimes, RaceClockSecondsOrATimeOfDay)
{
    RaceState race;
    race.startTime = makeDateTime(2024, 5, 12, 11, 0, 0);
    const auto clock = [&](const char *text) {
        const auto time = parseCommandTime(QLatin1String(text));
        return time ? std::optional<double>(time->raceClock(race)) : std::nullopt;
    };
    EXPECT_EQ(clock("660"), 660);
    EXPECT_EQ(clock("-30.5"), -30.5);
    EXPECT_EQ(clock("12:20:00"), 4800);
    EXPECT_EQ(clock("12:20"), 4800);
    EXPECT_EQ(clock("10:59:30"), -30);
    EXPECT_EQ(clock("12:61"), std::nullopt);
    EXPECT_EQ(clock("1e400"), std::nullopt);
    EXPECT_EQ(clock(""), std::nullopt);
    // A race past midnight: the nearer day's time.
    race.startTime = makeDateTime(2024, 5, 12, 23, 50, 0);
    EXPECT_EQ(clock("00:10:00"), 1200);
    EXPECT_EQ(clock("23:40:00"), -600);

    const CommandLine video = parseCommandLine({"--video", "r.txt", "--from", "12:20:00", "--to", "4900", "-o", "v.mkv"});
    ASSERT_EQ(video.mode, CommandLine::Video);
    EXPECT_TRUE(video.videoFrom->ofDay);
    EXPECT_FALSE(video.videoTo->ofDay);
}

// Speed Colours as the window's check box has it, for the pictures of the map.
TEST(CommandLinePictures, SpeedColoursForTheScreenshotAndTheRenderedMap)
{
    for (const char *mode : {"--screenshot", "--render"}) {
        const CommandLine plain = parseCommandLine({mode, "r.txt", "--at", "60", "-o", "a.png"});
        const CommandLine coloured = parseCommandLine({mode, "r.txt", "--at", "60", "--speed-colours", "-o", "a.png"});
        ASSERT_NE(coloured.mode, CommandLine::Done) << mode;
        EXPECT_FALSE(plain.speedColours) << mode;
        EXPECT_TRUE(coloured.speedColours) << mode;
    }
}

// --help says for every option which modes it applies to.
TEST(CommandLineHelp, NamesTheModesOfEachOption)
{
    QProcess keelrun;
    keelrun.start(KEELRUN_BINARY, {"--help"});
    ASSERT_TRUE(keelrun.waitForFinished(30000));
    const QString help = QString::fromUtf8(keelrun.readAllStandardOutput()).simplified();
    for (const char *line : {"--zoom <N> The zoom slider, 0 (ten times the area) to 100 (default). [--render and --video]",
                             "--samples Include every boat's samples. [--inspect]",
                             "--race <NAME> Show the race file NAME of raceadmin/ first. [the window]"})
        EXPECT_TRUE(help.contains(QLatin1String(line))) << line;
}

// The picture and video written are in the format their names ask for, and
// a refusal needs no display.
TEST(CommandLineFiles, TheFormatTheNameAsksFor)
{
    test::TestFolder t;
    const QString demo = QStringLiteral(KEELRUN_DEMO_DATA);
    const auto run = [&](QStringList arguments, bool display = false) {
        QProcess keelrun;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!display) {
            env.remove("QT_QPA_PLATFORM");
            env.remove("DISPLAY");
            env.remove("WAYLAND_DISPLAY");
        }
        keelrun.setProcessEnvironment(env);
        keelrun.start(KEELRUN_BINARY, arguments << demo);
        EXPECT_TRUE(keelrun.waitForFinished(120000));
        return std::pair{keelrun.exitCode(), QString::fromLocal8Bit(keelrun.readAllStandardError())};
    };
    const auto head = [](const QString &path, int bytes) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
    };
    const QString jpeg = t.path("at.jpg"), webp = t.path("at.webp"), mkv = t.path("v.mkv");
    EXPECT_EQ(run({"--render", "solent-evening.txt", "--at", "18:45:00", "--size", "320x240", "-o", jpeg}).first, 0);
    EXPECT_TRUE(head(jpeg, 3) == QByteArray("\xFF\xD8\xFF")) << "not JPEG";
    EXPECT_EQ(run({"--render", "solent-evening.txt", "--at", "900", "--size", "320x240", "-o", webp}).first, 0);
    EXPECT_TRUE(head(webp, 12).startsWith("RIFF") && head(webp, 12).endsWith("WEBP")) << "not WebP";
    EXPECT_EQ(run({"--video", "solent-evening.txt", "--from", "0", "--to", "30", "--size", "320x180", "-o", mkv}).first, 0);
    EXPECT_TRUE(head(mkv, 4) == QByteArray("\x1A\x45\xDF\xA3")) << "not Matroska";

    // A time of day that puts the end before the start is refused too, once
    // the race's gun is known; nothing is written.
    const QString backwards = t.path("backwards.mp4");
    const auto [code, said] = run({"--video", "solent-evening.txt", "--from", "18:50:00", "--to", "18:40:00", "-o", backwards});
    EXPECT_EQ(code, kExitError);
    EXPECT_TRUE(said.contains("before it starts")) << said.toStdString();
    EXPECT_FALSE(QFile::exists(backwards));

    // Usage errors of the window's own options are said without a display.
    const auto [windowCode, windowSaid] = run({"--race", "x.txt", "--zoom", "5"});
    EXPECT_EQ(windowCode, kExitError);
    EXPECT_TRUE(windowSaid.contains("--zoom applies to")) << windowSaid.toStdString();
    EXPECT_FALSE(windowSaid.contains("platform plugin")) << windowSaid.toStdString();
}

}  // namespace
}  // namespace keelrun
