#pragma once
// Work on the boats of a race spread over the machine's processors.

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace keelrun {

// The threads worth starting for work on the boats: one a processor, at most
// eight.
inline int workerCount() { return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8); }

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
    std::vector<std::jthread> helpers;
    for (int t = 1; t < std::min(workerCount(), last - first + 1); ++t)
        helpers.emplace_back(run);
    run();
}

}  // namespace keelrun
