#pragma once
// Reproducible random numbers. The standard distributions may give other
// values on another standard library, so only the engine is taken from the
// library and the distributions are our own.

#include <cstdint>
#include <random>

namespace keelrun::sim {

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    // An independent stream for one purpose (a boat, the wind), derived from
    // a race seed so that adding a boat does not change the others.
    static Random stream(std::uint64_t seed, std::uint64_t purpose, std::uint64_t index = 0);

    double uniform();                    // [0, 1)
    double uniform(double lo, double hi);
    int integer(int lo, int hi);         // lo..hi inclusive
    double normal();                     // mean 0, standard deviation 1
    bool chance(double p) { return uniform() < p; }

private:
    std::mt19937_64 engine_;
    double spare_ = 0;  // the polar method makes normal deviates in pairs
    bool hasSpare_ = false;
};

}  // namespace keelrun::sim
