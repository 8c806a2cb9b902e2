#include "random.h"

#include <cmath>

namespace keelrun::sim {
namespace {

// SplitMix64 finaliser: spreads nearby seeds over the whole 64-bit range.
std::uint64_t mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

}  // namespace

Random Random::stream(std::uint64_t seed, std::uint64_t purpose, std::uint64_t index)
{
    return Random(mix(mix(mix(seed) ^ purpose) ^ index));
}

double Random::uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

double Random::uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }

int Random::integer(int lo, int hi)
{
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<int>(engine_() % span);
}

// Marsaglia's polar method: a point drawn uniformly inside the unit circle
// gives two independent normal deviates.
double Random::normal()
{
    if (hasSpare_) {
        hasSpare_ = false;
        return spare_;
    }
    double x = 0, y = 0, r2 = 0;
    do {
        x = 2 * uniform() - 1;
        y = 2 * uniform() - 1;
        r2 = x * x + y * y;
    } while (r2 >= 1 || r2 == 0);
    const double k = std::sqrt(-2 * std::log(r2) / r2);
    spare_ = y * k;
    hasSpare_ = true;
    return x * k;
}

}  // namespace keelrun::sim
