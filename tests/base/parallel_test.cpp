// Work spread over the processors must come back in order, whatever order
// the threads finish in, and a consumer that gives up must not leave work
// running.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "base/parallel.h"

namespace keelrun {
namespace {

TEST(ProduceInOrder, ConsumesInOrderWhateverOrderTheResultsComeIn)
{
    std::vector<int> consumed;
    produceInOrder(
        1, 40,
        [](int i) {
            // Early items take longest, so later ones are ready first.
            std::this_thread::sleep_for(std::chrono::microseconds(40 * (41 - i)));
            return i * i;
        },
        [&, caller = std::this_thread::get_id()](int i, int square) {
            EXPECT_EQ(square, i * i);
            EXPECT_EQ(std::this_thread::get_id(), caller);  // a window may be drawn in it
            consumed.push_back(i);
        });
    ASSERT_EQ(consumed.size(), 40u);
    for (int i = 1; i <= 40; ++i)
        EXPECT_EQ(consumed[static_cast<std::size_t>(i - 1)], i);

    int calls = 0;
    produceInOrder(1, 0, [](int i) { return i; }, [&](int, int) { ++calls; });
    EXPECT_EQ(calls, 0);
}

TEST(ProduceInOrder, AConsumerThatThrowsStopsTheProducers)
{
    std::atomic<int> produced{0};
    const auto produce = [&](int i) {
        ++produced;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return i;
    };
    EXPECT_THROW(produceInOrder(1, 1000, produce,
                                [](int i, int) {
                                    if (i == 3)
                                        throw std::runtime_error("bad file");
                                }),
                 std::runtime_error);
    EXPECT_LT(produced.load(), 1000);
}

// The workers are started once and kept: a thousand pieces of work, as a
// replay's frames hand out, run on the same few threads, and work shared
// from inside shared work ends too.
TEST(ParallelFor, KeepsItsWorkersAndNestsWork)
{
    std::mutex guard;
    std::set<std::thread::id> threads;
    std::atomic<long> sum{0};
    for (int round = 0; round < 1000; ++round) {
        parallelFor(1, 8, [&](int i) {
            sum += i;
            const std::lock_guard lock(guard);
            threads.insert(std::this_thread::get_id());
        });
    }
    EXPECT_EQ(sum.load(), 1000 * 36);
    EXPECT_LE(static_cast<int>(threads.size()), workerCount());

    std::atomic<int> inner{0};
    parallelFor(1, 6, [&](int) { parallelFor(1, 50, [&](int) { ++inner; }); });
    EXPECT_EQ(inner.load(), 300);
}

}  // namespace
}  // namespace keelrun
