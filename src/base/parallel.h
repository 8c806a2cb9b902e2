#pragma once
// Work on the boats of a race spread over the machine's processors.

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace keelrun {

// Calls `work(i)` for every i in first..last, on one thread a processor
// (this one among them). Each call must touch only what is its own, and must
// not throw.
template <typename Work>
void parallelFor(int first, int last, Work &&work)
{
    std::atomic<int> next{first};
    const auto run = [&] {
        for (int i = next++; i <= last; i = next++)
            work(i);
    };
    const int threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
    std::vector<std::jthread> helpers;
    for (int t = 1; t < std::min(threads, last - first + 1); ++t)
        helpers.emplace_back(run);
    run();
}

}  // namespace keelrun
