#include "replay/stopwatch.h"

#include <cmath>

#include "base/numbers.h"

namespace keelrun {

void Stopwatch::press(double raceClock)
{
    state = static_cast<State>((state + 1) % 3);
    if (state == Running)
        startedAt = raceClock;
}

QString Stopwatch::buttonText() const
{
    switch (state) {
    case Running:
        return QStringLiteral("STOP");
    case Frozen:
        return QStringLiteral("TIMER/OFF");
    case Off:
        break;
    }
    return QStringLiteral("TIMER/ON");
}

QString stopwatchText(double seconds)
{
    const int s = roundHalfEven(std::abs(seconds));
    return QStringLiteral("%1%2:%3:%4")
        .arg(seconds < -0.5 ? QStringLiteral("-") : QString())
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace keelrun
