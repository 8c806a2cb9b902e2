// Reading, loading and drawing a large race, and opening the window on it:
// a full fleet of 81 boats sailing for four hours, each logging a fix a
// second (about a million fixes). The
// race is simulated and written to a temporary folder the first time a
// benchmark needs it, once per track format, and kept for the whole run.

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include <QFile>
#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "app/main_window.h"
#include "base/parallel.h"
#include "race/loading_sequence.h"
#include "io/race_file.h"
#include "race/track_derivation.h"
#include "io/tracks/track_reader.h"
#include "view/course_view.h"
#include "render/course_diagram.h"
#include "render/map_frame.h"
#include "render/overview_map.h"
#include "render/pages/analysis_page.h"
#include "render/pages/graph_page.h"
#include "render/pages/page_hovers.h"
#include "race/manoeuvres.h"
#include "race/roundings.h"
#include "simulator.h"

namespace {

using namespace keelrun;
using Format = std::optional<sim::TrackFormat>;  // nothing: every format in turn

// A simulated race on disk, its race file read, and its track files held in
// memory in race-file order.
struct Fleet {
    QTemporaryDir dir;
    QString raceFile;
    RaceState race;
    std::vector<QByteArray> tracks;  // index 0: boat 1
    std::int64_t bytes = 0;
    std::int64_t fixes = 0;          // as written in the track files
};

// 81 boats for four hours, logging a fix every `interval` seconds (0.1:
// the ten a second of a racing logger).
std::unique_ptr<Fleet> simulateFleet(Format format, double interval)
{
    sim::SimOptions options;
    options.boats = kMaxBoats;
    options.minutes = 240;
    options.minInterval = options.maxInterval = interval;
    options.format = format;
    const sim::SimulatedRace simulated = sim::simulateRace(options);

    auto fleet = std::make_unique<Fleet>();
    sim::writeRaceFolder(simulated, fleet->dir.path());
    for (const sim::SimulatedBoat &boat : simulated.boats)
        fleet->fixes += static_cast<std::int64_t>(boat.fixes.size());

    const DataFolder folder(fleet->dir.path());
    fleet->raceFile = folder.path(SubFolder::RaceAdmin, QString::fromStdString(options.name + ".txt"));
    fleet->race.raceFilePath = fleet->raceFile;
    readRaceFile(fleet->race, folder);
    for (int n = 1; n <= fleet->race.boatCount; ++n) {
        QFile file(folder.path(SubFolder::Tracks, fleet->race.boats[n].trackFile));
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read " + file.fileName().toStdString());
        fleet->tracks.push_back(file.readAll());
        fleet->bytes += fleet->tracks.back().size();
    }
    return fleet;
}

const Fleet &fleet(Format format, double interval = 1)
{
    static std::map<std::pair<Format, double>, std::unique_ptr<Fleet>> fleets;
    std::unique_ptr<Fleet> &fleet = fleets[{format, interval}];
    if (!fleet)
        fleet = simulateFleet(format, interval);
    return *fleet;
}

// The GPX race, logged every `interval` seconds, as the loading sequence
// leaves it.
const RaceState &loadedRace(double interval = 1)
{
    static std::map<double, std::unique_ptr<RaceState>> races;
    std::unique_ptr<RaceState> &race = races[interval];
    if (!race) {
        race = std::make_unique<RaceState>();
        const Fleet &gpx = fleet(sim::TrackFormat::Gpx, interval);
        if (!loadRace(*race, DataFolder(gpx.dir.path()), gpx.raceFile).ok())
            throw std::runtime_error("the simulated race does not load");
    }
    return *race;
}

// Every track of the fleet decoded from memory by its reader into a fresh
// boat, as the loading sequence does it, without the file system.
void BM_ReadTrack(benchmark::State &state, Format format)
{
    const Fleet &f = fleet(format);
    for (auto _ : state) {
        for (int n = 1; n <= f.race.boatCount; ++n) {
            BoatEntry boat = f.race.boats[n];
            FixSink sink(f.race, boat);
            const QByteArray &bytes = f.tracks[static_cast<std::size_t>(n - 1)];
            trackFormatFor(boat.trackFile)
                ->decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                         {QStringLiteral("gpsdat/") + boat.trackFile, f.race.raceDate}, sink);
            benchmark::DoNotOptimize(boat.samples.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.SetItemsProcessed(state.iterations() * f.fixes);
}
BENCHMARK_CAPTURE(BM_ReadTrack, gpx, sim::TrackFormat::Gpx)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, trb, sim::TrackFormat::Trb)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, gdb, sim::TrackFormat::Gdb)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, mps, sim::TrackFormat::Mps)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, trl, sim::TrackFormat::Trl)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, dtr, sim::TrackFormat::Dtr)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, log, sim::TrackFormat::Log)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, tcx, sim::TrackFormat::Tcx)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, csv, sim::TrackFormat::Csv)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, fit, sim::TrackFormat::Fit)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadTrack, vkx, sim::TrackFormat::Vkx)->Unit(benchmark::kMillisecond);

// The whole loading sequence from the files on disk (warm in the page cache).
void BM_LoadRace(benchmark::State &state, Format format, double interval)
{
    const Fleet &f = fleet(format, interval);
    const DataFolder folder(f.dir.path());
    const auto race = std::make_unique<RaceState>();
    for (auto _ : state) {
        if (!loadRace(*race, folder, f.raceFile).ok())
            state.SkipWithError("the simulated race does not load");
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.SetItemsProcessed(state.iterations() * f.fixes);
}
BENCHMARK_CAPTURE(BM_LoadRace, gpx, sim::TrackFormat::Gpx, 1.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadRace, mixed, std::nullopt, 1.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadRace, gpx_10hz, sim::TrackFormat::Gpx, 0.1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One stage of the loading sequence, run again on a copy of the loaded race
// (the copy is not timed).
void runStage(benchmark::State &state, void (*stage)(RaceState &))
{
    const RaceState &loaded = loadedRace();
    const auto race = std::make_unique<RaceState>();
    for (auto _ : state) {
        state.PauseTiming();
        *race = loaded;
        state.ResumeTiming();
        stage(*race);
    }
}

void BM_DetectRoundings(benchmark::State &state) { runStage(state, detectRoundings); }
// Every boat's speeds, courses and leg distances, several boats at once.
void BM_DeriveTracks(benchmark::State &state)
{
    runStage(state, [](RaceState &race) {
        parallelFor(1, race.boatCount, [&](int b) { deriveBoatTrack(race.boats[b], race.courseLength(), race.extent.cosLat); });
    });
}
BENCHMARK(BM_DetectRoundings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeriveTracks)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// One frame of the Track page at 1920 x 1080 with the whole fleet, mid-race,
// the clock moving half a second a frame as at 10 times real time.
void BM_RenderFrame(benchmark::State &state, double interval)
{
    const RaceState &race = loadedRace(interval);
    QImage bitmap(1920, 1080, QImage::Format_RGB32);
    FrameState frame = newFrameState(race);
    DisplayChoices choices;
    choices.northUp = false;
    choices.laylines = true;
    choices.mapSize = bitmap.size();
    const MapPictures pictures = mapPictures(race, choices.northUp);
    PlaybackClock clock;
    clock.raceClock = 3600;
    MapFrameRequest request = mapFrameRequest(choices, clock, pictures);
    request.boats.labelLevel = 2;
    for (auto _ : state) {
        bitmap.fill(request.boats.sea);
        computeFrame(frame, race, request.frame);
        drawMapFrame(bitmap, race, frame, request.boats, request.overlays);
        request.frame.now += 0.5;
    }
    benchmark::DoNotOptimize(bitmap.constBits());
}
BENCHMARK_CAPTURE(BM_RenderFrame, 1hz, 1.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderFrame, 10hz, 0.1)->Unit(benchmark::kMillisecond);

// What a frame costs without drawing: filling the bitmap with the sea and
// copying it to the window.
void BM_FillAndCopy(benchmark::State &state)
{
    QImage bitmap(1920, 1080, QImage::Format_RGB32);
    QImage window(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        bitmap.fill(QColor(110, 160, 255));
        QPainter(&window).drawImage(0, 0, bitmap);
    }
    benchmark::DoNotOptimize(window.constBits());
}
BENCHMARK(BM_FillAndCopy)->Unit(benchmark::kMillisecond);

// Every boat's tacks and gybes and the wind read from them: two passes, the
// race's own wind first, then the fleet's.
void BM_Manoeuvres(benchmark::State &state)
{
    RaceState race = loadedRace();
    race.windSamples.resize(1);  // no wind records: the second pass runs
    for (auto _ : state)
        findManoeuvres(race);
}
BENCHMARK(BM_Manoeuvres)->Unit(benchmark::kMillisecond)->UseRealTime();

// One boat logging ten fixes a second that lies head to wind on its
// mooring for an hour, its position and course never changing, before it
// sails a beat of two tacks: its courses are on neither side of the wind
// for all that hour.
void BM_ManoeuvresHeadToWind(benchmark::State &state)
{
    RaceState race;
    race.windDirection = 0;
    race.extent.cosLat = 0.8;
    race.windowStart = -3600;
    race.windowEnd = 600;
    BoatEntry boat;
    boat.fixInterval = 0.1;
    double lat = 2000, lon = 8000;
    for (int k = 0; k < 36000; ++k)
        boat.samples.push_back({-3600 + 0.1 * k, lat, lon, 0, 0});
    for (int k = 0; k < 6000; ++k) {
        const double heading = k < 2000 || k >= 4000 ? 315 : 45;
        lat += 0.3 * std::cos(heading * kDegree) / 1852;
        lon += 0.3 * std::sin(heading * kDegree) / (1852 * 0.8);
        boat.samples.push_back({0.1 * k, lat, lon, 6, heading});
    }
    const WindDirectionAt wind = raceWind(race);
    for (auto _ : state)
        benchmark::DoNotOptimize(detectManoeuvres(race, boat, wind));
}
BENCHMARK(BM_ManoeuvresHeadToWind)->Unit(benchmark::kMillisecond);

// The stopped map: every boat's whole track, the marks and the boats at the
// clock, 1920 x 1080; with speed colours each segment of each track in the
// colour of its speed.
void BM_CourseDiagram(benchmark::State &state, double interval, bool speedColours)
{
    const RaceState &race = loadedRace(interval);
    QImage bitmap(1920, 1080, QImage::Format_RGB32);
    CourseDiagramRequest request;
    request.view = courseDiagramView(wholeRaceView(race), race, bitmap.size(), false);
    request.now = 3600;
    request.speedColours = speedColours;
    for (auto _ : state)
        drawCourseDiagram(bitmap, race, request);
    benchmark::DoNotOptimize(bitmap.constBits());
}
BENCHMARK_CAPTURE(BM_CourseDiagram, 1hz, 1.0, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CourseDiagram, 10hz, 0.1, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CourseDiagram, 10hz_speed_colours, 0.1, true)->Unit(benchmark::kMillisecond);

// The overview: every fix of every boat in the small map, wind up, drawn
// once a load and again when the map turns.
void BM_OverviewMap(benchmark::State &state, double interval)
{
    const RaceState &race = loadedRace(interval);
    for (auto _ : state)
        benchmark::DoNotOptimize(drawOverviewMap(race, false));
}
BENCHMARK_CAPTURE(BM_OverviewMap, 1hz, 1.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OverviewMap, 10hz, 0.1)->Unit(benchmark::kMillisecond);

// The Graph and Analysis pages at 1920 x 1080 with every boat ticked: the
// Graph page draws every fix of the fleet twice.
void BM_GraphPage(benchmark::State &state)
{
    const RaceState &race = loadedRace();
    QImage page(1920, 1080, QImage::Format_RGB32);
    const PageRequest request{1080, {}, QColor(110, 160, 255), 1};
    for (auto _ : state)
        drawGraphPage(page, race, request);
    benchmark::DoNotOptimize(page.constBits());
}
BENCHMARK(BM_GraphPage)->Unit(benchmark::kMillisecond);

void BM_AnalysisPage(benchmark::State &state)
{
    const RaceState &race = loadedRace();
    QImage page(1920, 1080, QImage::Format_RGB32);
    const PageRequest request{1080, {}, QColor(110, 160, 255), 1};
    for (auto _ : state)
        benchmark::DoNotOptimize(drawAnalysisPage(page, race, request));
}
BENCHMARK(BM_AnalysisPage)->Unit(benchmark::kMillisecond);

// One boat's curves drawn thick over a copy of the Graph page, as the
// pointer moves down the boat list.
void BM_GraphHover(benchmark::State &state)
{
    const RaceState &race = loadedRace();
    QImage page(1920, 1080, QImage::Format_RGB32);
    drawGraphPage(page, race, {1080, {}, QColor(110, 160, 255), 1});
    const GraphAxes axes(race, page.width(), 1080);
    int boat = 0;
    for (auto _ : state) {
        QImage picture = page.copy();
        drawGraphHover(picture, race, axes, boat % race.boatCount + 1);
        ++boat;
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_GraphHover)->Unit(benchmark::kMillisecond);

// The window opened on the race, 1920 x 1080: from SHOW until the race is
// loaded and its first frame drawn (under the splash, which stays up for
// its hold). Building the window's widgets before SHOW is not timed.
void BM_WindowFirstFrame(benchmark::State &state)
{
    const Fleet &f = fleet(sim::TrackFormat::Gpx);
    for (auto _ : state) {
        MainWindow window{DataFolder(f.dir.path()), f.raceFile};
        window.resize(1920, 1080);
        QEventLoop loop;
        bool loaded = false;
        QObject::connect(&window, &MainWindow::raceLoaded, &loop, [&](bool ok) {
            loaded = ok;
            loop.quit();
        });
        const auto shown = std::chrono::steady_clock::now();
        window.show();
        loop.exec();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - shown).count());
        if (!loaded)
            state.SkipWithError("the simulated race does not load in the window");
    }
}
BENCHMARK(BM_WindowFirstFrame)->Unit(benchmark::kMillisecond)->UseManualTime();

// Scrubbing: the time bar dragged through the race, 1920 x 1080, the whole
// fleet with its running board and four boats' live numbers; each step is a
// move of the pointer with the button down, the frame drawn and shown.
// Frames a second while dragging: 1000 / the time a step.
void BM_ScrubTimeBar(benchmark::State &state)
{
    const Fleet &f = fleet(sim::TrackFormat::Gpx);
    MainWindow window{DataFolder(f.dir.path()), f.raceFile};
    window.resize(1920, 1080);
    QEventLoop loop;
    QObject::connect(&window, &MainWindow::raceLoaded, &loop, &QEventLoop::quit);
    window.show();
    loop.exec();
    window.holdForPicture(false);
    window.watchBoats({1, 20, 40, 60});
    QWidget *bar = window.findChild<QWidget *>(QStringLiteral("pnlTimeBar"));
    int y = 40;
    for (auto _ : state) {
        const QPointF at(25, y);
        QMouseEvent drag(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &drag);
        QApplication::processEvents();
        y = y + 3 < bar->height() - 40 ? y + 3 : 40;
    }
}
BENCHMARK(BM_ScrubTimeBar)->Unit(benchmark::kMillisecond);

}  // namespace

// Drawing text and the window need the platform's fonts and widgets: a GUI
// application without a display.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
