#pragma once
// Work on the boats of a race spread over the machine's processors.

#include <algorithm>
#include <atomic>
#include <future>
#include <type_traits>
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

// Works out `produce(i)` for every i in first..last on one thread a
// processor, claimed in order, while this thread hands each result to
// `consume(i, result)` in the order of i as soon as it is ready: work that
// must be done in order overlaps the work that need not be. `produce` must
// touch only what is its own and must not throw; when `consume` throws, the
// producers stop after the items in hand.
template <typename Produce, typename Consume>
void produceInOrder(int first, int last, Produce &&produce, Consume &&consume)
{
    using Result = std::invoke_result_t<Produce &, int>;
    std::vector<std::promise<Result>> results(static_cast<std::size_t>(std::max(0, last - first + 1)));
    std::vector<std::future<Result>> ready;
    for (std::promise<Result> &result : results)
        ready.push_back(result.get_future());
    std::atomic<int> next{first};
    const auto run = [&] {
        for (int i = next++; i <= last; i = next++)
            results[static_cast<std::size_t>(i - first)].set_value(produce(i));
    };
    std::vector<std::jthread> producers;
    for (int t = 0; t < std::min(workerCount(), last - first + 1); ++t)
        producers.emplace_back(run);
    try {
        for (int i = first; i <= last; ++i)
            consume(i, ready[static_cast<std::size_t>(i - first)].get());
    } catch (...) {
        next = last + 1;
        throw;
    }
}

}  // namespace keelrun
