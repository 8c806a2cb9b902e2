#include "app/playback_controller.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace keelrun {

PlaybackController::PlaybackController(const RaceState &race, std::function<bool()> drawFrame, QObject *parent)
    : QObject(parent), race_(race), drawFrame_(std::move(drawFrame)), tickTimer_(this), secondTimer_(this), lightTimer_(this)
{
    tickTimer_.setObjectName(QStringLiteral("Timer1"));
    secondTimer_.setObjectName(QStringLiteral("Timer2"));
    lightTimer_.setObjectName(QStringLiteral("Timer3"));
    tickTimer_.setInterval(kTickMs);
    secondTimer_.setInterval(1000);
    lightTimer_.setInterval(1000);
    connect(&tickTimer_, &QTimer::timeout, this, &PlaybackController::tick);
    connect(&secondTimer_, &QTimer::timeout, this, &PlaybackController::secondTick);
    // The lights flash in wall-clock seconds, whatever the replay does.
    connect(&lightTimer_, &QTimer::timeout, this, [this] { advanceLights(lights_, race_.lights); });
    lightTimer_.start();
}

void PlaybackController::startRace(double playSpeed)
{
    tickTimer_.stop();
    clock_ = startClock(race_);
    clock_.playSpeed = playSpeed;
    frame_ = newFrameState(race_);
    stopwatch_ = {};
    emit directionChanged(+1);
    secondTimer_.start();
}

void PlaybackController::play(int direction)
{
    emit directionChanged(direction);
    clock_.playDirection = direction;
    tickTimer_.start();
    secondTimer_.start();
}

void PlaybackController::stop()
{
    emit directionChanged(0);
    tickTimer_.stop();
    secondTimer_.stop();
}

void PlaybackController::freeze()
{
    tickTimer_.stop();
    secondTimer_.stop();
}

void PlaybackController::step(int direction)
{
    stop();
    singleStep(clock_, race_, direction);
    drawFrame_();
    emit clockSet();
}

void PlaybackController::rewind()
{
    clock_.raceClock = race_.windowStart;
    drawFrame_();
    emit clockSet();
}

void PlaybackController::jumpTo(double raceClock)
{
    clock_.raceClock = raceClock;
    clock_.finishedCount = 0;
    clock_.finishAnnounced.assign(clock_.finishAnnounced.size(), false);
    for (BoatInFrame &boat : frame_.boats)
        boat.currentSample = 1;
}

void PlaybackController::pressStopwatch() { stopwatch_.press(clock_.raceClock); }

void PlaybackController::tick()
{
    lights_.secondFraction += kTickMs / 1000.0;
    if (trackPageShown_) {
        if (advance(clock_, race_, frame_.boatsInPlay)) {
            endReplay();
            return;
        }
        if (!drawFrame_())
            return;
        if (frame_.boatsInPlay == 0 && clock_.raceClock > 0) {  // before the gun tracks may not have begun
            endReplay();
            return;
        }
        for (const int b : finishGuns(clock_, race_)) {
            fireGun();
            emit boatFinished(b);
        }
        if (scoreBoardCleared(clock_, race_))
            emit boardsCleared();
        emit ticked();
    }
    if (startGun(clock_))
        fireGun();
}

void PlaybackController::secondTick()
{
    if (!trackPageShown_) {
        emit secondOffTrack();
        return;
    }
    if (held_)
        return;  // the replay begins when the splash has gone
    if (!tickTimer_.isActive())
        tickTimer_.start();  // restarting it would reset its phase
    const SecondTick tick = keelrun::secondTick(clock_, race_, frame_);
    for (int i = 0; i < tick.beeps; ++i)
        QApplication::beep();
    emit secondTicked(tick);
}

// The replay has ended: the same race from the start, unless the window
// moves on to the next.
void PlaybackController::endReplay()
{
    clock_.raceClock = race_.windowStart;
    emit replayEnded();
}

// The sound system is asked for a loudspeaker only at the first gun, so
// that pictures and videos of the window, which fire none, never wake it
// (nor its messages on the terminal). Without one the guns stay silent.
void PlaybackController::fireGun()
{
    if (!gunLooked_) {
        gunLooked_ = true;
        if (!QMediaDevices::audioOutputs().isEmpty()) {
            gun_ = new QSoundEffect(this);
            gun_->setSource(QUrl(QStringLiteral("qrc:/sounds/gun.wav")));
        }
    }
    if (gun_)
        gun_->play();
}

}  // namespace keelrun
