#pragma once
// Work on the boats of a race spread over the machine's processors.

#include <algorithm>
#include <atomic>
#include <functional>
#include <future>
#include <type_traits>
#include <thread>
#include <vector>

namespace keelrun {

// The threads worth working on the boats: one a processor, at most eight.
inline int workerCount() { return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8); }

// Runs `here` on this thread while up to `helpers` of the program's worker
// threads run `elsewhere` as they come free; returns, or throws what `here`
// threw, once `here` has ended and every worker that took `elsewhere` has
// left it. The workers are started on first use and kept for the program's
// life: the map's drawing shares work every frame, and starting threads for
// each piece would cost more than some pieces. `elsewhere` must end once
// the work is all claimed; it may share work itself.
void shareWork(int helpers, const std::function<void()> &elsewhere, const std::function<void()> &here);

// Calls `work(i)` for every i in first..last, on one thread a processor
// (this one among them). Each call must touch only what is its own, and must
// not throw.
template <typename Work>
void parallelFor(int first, int last, Work &&work)
{
    std::atomic<int> next{first};
    const std::function<void()> run = [&] {
        for (int i = next++; i <= last; i = next++)
            work(i);
    };
    shareWork(std::min(workerCount(), last - first + 1) - 1, run, run);
}

// Works out `produce(i)` for every i in first..last on one thread a
// processor, claimed in order, and hands each result to `consume(i, result)`
// on this thread, in the order of i: work that must be done in order
// overlaps the work that need not be. This thread is one of the producers,
// and between its items hands on those ready, so that it waits only at the
// end. `produce` must touch only what is its own and must not throw; when
// `consume` throws, the producers stop after the items in hand.
template <typename Produce, typename Consume>
void produceInOrder(int first, int last, Produce &&produce, Consume &&consume)
{
    using Result = std::invoke_result_t<Produce &, int>;
    const auto count = static_cast<std::size_t>(std::max(0, last - first + 1));
    std::vector<std::promise<Result>> results(count);
    std::vector<std::future<Result>> futures;
    for (std::promise<Result> &result : results)
        futures.push_back(result.get_future());
    std::vector<std::atomic<bool>> made(count);  // looked at without a wait
    std::atomic<int> next{first};
    const auto produceNext = [&] {
        const int i = next++;
        if (i > last)
            return false;
        const auto k = static_cast<std::size_t>(i - first);
        results[k].set_value(produce(i));
        made[k].store(true, std::memory_order_release);
        return true;
    };
    int handed = first;
    const auto hand = [&](bool wait) {
        for (; handed <= last; ++handed) {
            const auto k = static_cast<std::size_t>(handed - first);
            if (!wait && !made[k].load(std::memory_order_acquire))
                return;
            consume(handed, futures[k].get());
        }
    };
    const std::function<void()> produceAll = [&] {
        while (produceNext()) {
        }
    };
    shareWork(std::min(workerCount(), last - first + 1) - 1, produceAll, [&] {
        try {
            do
                hand(false);
            while (produceNext());
            hand(true);
        } catch (...) {
            next = last + 1;
            throw;
        }
    });
}

}  // namespace keelrun
