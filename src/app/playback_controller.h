#pragma once
// The replay's engine room: the playback tick every 50 ms, the once-a-second
// housekeeping, the race clock they move, the start and finish guns and the
// stopwatch. The window draws the frames and shows what the playback says.

#include <functional>

#include <QObject>
#include <QTimer>

#include "model/race_state.h"
#include "replay/frame_state.h"
#include "replay/light_phases.h"
#include "replay/playback_clock.h"
#include "replay/stopwatch.h"

class QSoundEffect;

namespace keelrun {

class PlaybackController : public QObject {
    Q_OBJECT
public:
    // `drawFrame` draws the frame at the clock; false when there was nothing
    // to draw (no race, a load running).
    PlaybackController(const RaceState &race, std::function<bool()> drawFrame, QObject *parent);

    // After a load: the clock at the start of the race window, waiting for
    // the once-a-second tick to start the replay.
    void startRace(double playSpeed);
    void play(int direction);  // +1 forward, -1 backward
    void stop();
    // Stops the timers and nothing else: the buttons still show the replay
    // as it was.
    void freeze();
    void step(int direction);  // one whole second
    void rewind();             // to the start of the window
    // The clock set at `raceClock` as by a click on the time bar: the finish
    // guns are armed again and the boats searched for afresh. The playing
    // or stopped state stays.
    void jumpTo(double raceClock);
    // While held (the splash shows), the replay does not start.
    void setHeld(bool held) { held_ = held; }
    // Only the Track page plays.
    void setTrackPageShown(bool shown) { trackPageShown_ = shown; }
    void setPlaySpeed(double playSpeed) { clock_.playSpeed = playSpeed; }
    void pressStopwatch();

    bool isPlaying() const { return tickTimer_.isActive() || secondTimer_.isActive(); }
    bool isTicking() const { return tickTimer_.isActive(); }
    PlaybackClock &clock() { return clock_; }
    const PlaybackClock &clock() const { return clock_; }
    FrameState &frame() { return frame_; }
    const FrameState &frame() const { return frame_; }
    const Stopwatch &stopwatch() const { return stopwatch_; }
    const LightClock &lights() const { return lights_; }

signals:
    void directionChanged(int direction);  // +1, 0 stopped, -1
    void ticked();                         // a tick has drawn its frame
    void clockSet();                       // a step or a rewind has drawn its frame
    void boatFinished(int boat);
    void secondTicked(const SecondTick &tick);
    void secondOffTrack();                 // the once-a-second tick while another page shows
    void boardsCleared();                  // early in the race the finish boards are empty
    void replayEnded();                    // the window's end: the next race, or from the start

private:
    void tick();
    void secondTick();
    void endReplay();
    void fireGun();

    const RaceState &race_;
    std::function<bool()> drawFrame_;
    PlaybackClock clock_;
    FrameState frame_;
    Stopwatch stopwatch_;
    QTimer tickTimer_, secondTimer_, lightTimer_;
    LightClock lights_;
    QSoundEffect *gun_ = nullptr;
    bool gunLooked_ = false;  // the sound system was asked for a loudspeaker
    bool held_ = false;
    bool trackPageShown_ = true;
};

}  // namespace keelrun
