#pragma once
// The stopwatch over the map: started and frozen by its button, it shows the
// race time elapsed since it was started.

#include <QString>

namespace keelrun {

struct Stopwatch {
    enum State { Off, Running, Frozen };
    State state = Off;
    double startedAt = 0;  // race clock

    // The button goes round Off, Running, Frozen.
    void press(double raceClock);
    // "TIMER/ON" to start, "STOP" to freeze, "TIMER/OFF" to put away.
    QString buttonText() const;
};

// Elapsed race time as hh:mm:ss; negative after playing back past the start.
QString stopwatchText(double seconds);

}  // namespace keelrun
