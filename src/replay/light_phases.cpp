#include "replay/light_phases.h"

#include <algorithm>

namespace keelrun {
namespace {

const Rgb kWhite{255, 255, 255}, kRed{255, 0, 0}, kGreen{0, 128, 0};

}  // namespace

void advanceLights(LightClock &clock, const std::vector<Light> &lights)
{
    ++clock.lightTick;
    clock.secondFraction = 0;
    clock.phases.resize(lights.size() + 1);
    for (std::size_t n = 0; n < lights.size(); ++n) {
        const Light &light = lights[n];
        LightPhase &phase = clock.phases[n + 1];
        const int period = light.period;
        if (period < 1)
            continue;
        const int i = static_cast<int>(n) + 1;
        const int a = static_cast<int>((static_cast<long long>(i) + clock.lightTick) % period);
        phase.state = 0;
        if (a == 0) {
            const QChar first = light.colours.isEmpty() ? QChar() : light.colours.front().toUpper();
            phase.colour = first == QLatin1Char('R') ? kRed : first == QLatin1Char('G') ? kGreen : kWhite;
        }
        if (a <= light.flashes)
            phase.state = a;
        if (light.colours.size() >= 2 && 2 * a == period) {
            phase.state = 1;
            const QChar last = light.colours.back().toUpper();
            if (last == QLatin1Char('R'))
                phase.colour = kRed;
            else if (last == QLatin1Char('G'))
                phase.colour = kGreen;
        }
    }
}

LightClock lightsAt(int lightTick, const std::vector<Light> &lights)
{
    // Run up to it over a whole period (an hour at most), so that every
    // light has taken its colour.
    int longest = 1;
    for (const Light &light : lights)
        longest = std::max(longest, std::min(light.period, 3600));
    const int wanted = std::max(lightTick, 0);
    LightClock clock;
    clock.lightTick = std::max(0, wanted - longest - 1);
    clock.phases.resize(lights.size() + 1);
    while (clock.lightTick < wanted)
        advanceLights(clock, lights);
    clock.secondFraction = 0.5;
    return clock;
}

}  // namespace keelrun
