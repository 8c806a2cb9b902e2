#include "base/parallel.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace keelrun {
namespace {

// A piece of work shared with the workers: how many more of them it wants,
// how many are in it, and whether its owner has done with it.
struct SharedJob {
    const std::function<void()> *run = nullptr;
    int seats = 0;
    int inside = 0;
    bool closed = false;
};

class WorkerPool {
public:
    WorkerPool()
    {
        for (int t = 1; t < workerCount(); ++t)
            threads_.emplace_back([this] { serve(); });
    }

    ~WorkerPool()
    {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        waiting_.notify_all();
    }

    void share(int helpers, const std::function<void()> &elsewhere, const std::function<void()> &here)
    {
        const auto job = std::make_shared<SharedJob>();
        job->run = &elsewhere;
        job->seats = std::max(0, helpers);
        if (job->seats > 0) {
            const std::lock_guard lock(mutex_);
            open_.push_back(job);
        }
        waiting_.notify_all();
        // Whatever `here` does, the workers are out of the job before the
        // work it refers to goes.
        struct Close {
            WorkerPool &pool;
            SharedJob &job;
            ~Close() { pool.close(job); }
        } close{*this, *job};
        here();
    }

private:
    void close(SharedJob &job)
    {
        std::unique_lock lock(mutex_);
        job.closed = true;
        std::erase_if(open_, [&](const std::shared_ptr<SharedJob> &j) { return j.get() == &job; });
        left_.wait(lock, [&] { return job.inside == 0; });
    }

    void serve()
    {
        std::unique_lock lock(mutex_);
        while (true) {
            waiting_.wait(lock, [&] { return stopping_ || !open_.empty(); });
            if (stopping_)
                return;
            const std::shared_ptr<SharedJob> job = open_.front();
            if (--job->seats == 0)
                open_.pop_front();
            ++job->inside;
            lock.unlock();
            (*job->run)();
            lock.lock();
            --job->inside;
            left_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable waiting_, left_;
    std::deque<std::shared_ptr<SharedJob>> open_;  // jobs still wanting workers
    bool stopping_ = false;
    std::vector<std::jthread> threads_;  // last: joined before the rest goes
};

}  // namespace

void shareWork(int helpers, const std::function<void()> &elsewhere, const std::function<void()> &here)
{
    static WorkerPool pool;
    pool.share(helpers, elsewhere, here);
}

}  // namespace keelrun
