// The replay's timers, driven by the window's event loop.

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include "app/playback_controller.h"

namespace keelrun {
namespace {

void runFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The once-a-second tick must not restart the 50 ms tick: if it did, a
// machine whose second ticks came often enough would never draw a frame.
TEST(PlaybackController, TheSecondTickLeavesTheFrameTickRunning)
{
    const RaceState race;
    int frames = 0;
    PlaybackController playback(race, [&] { return ++frames > 0; }, nullptr);
    auto *seconds = playback.findChild<QTimer *>(QStringLiteral("Timer2"));
    ASSERT_NE(seconds, nullptr);
    seconds->setInterval(5);
    playback.clock().raceClock = -100;
    playback.play(+1);
    runFor(400);
    EXPECT_GE(frames, 3);
}

}  // namespace
}  // namespace keelrun
