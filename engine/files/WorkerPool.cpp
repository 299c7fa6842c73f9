#include "WorkerPool.h"

#include <algorithm>
#include <system_error>

#if defined(__linux__)
#include <sched.h>
#endif

namespace {
// Blocks in flight per thread beyond each file's own: one being converted
// and three read ahead and waiting, so that a thread that is done finds
// the next block read even while the reading thread converts one itself.
constexpr unsigned kBlocksPerThread = 4;

bool removeFrom(std::deque<WorkerPool::Task *> &queue, WorkerPool::Task &task) {
    const auto found = std::find(queue.begin(), queue.end(), &task);
    if (found == queue.end())
        return false;
    queue.erase(found);
    return true;
}
} // namespace

unsigned availableThreads() {
#if defined(__linux__)
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
#endif
    return std::max(1u, std::thread::hardware_concurrency());
}

WorkerPool::WorkerPool(unsigned threads) {
    for (unsigned i = 1; i < threads; ++i) {
        try {
            workers_.emplace_back(&WorkerPool::work, this);
        } catch (const std::system_error &) {
            break; // the run goes on with the threads it has
        }
    }
    blockSlots_ = kBlocksPerThread * static_cast<unsigned>(workers_.size());
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread &worker : workers_)
        worker.join();
}

void WorkerPool::submit(Task &task, Kind kind) {
    {
        const std::lock_guard lock(mutex_);
        task.state_ = Task::State::Queued;
        (kind == Kind::Block ? blocks_ : files_).push_back(&task);
    }
    changed_.notify_all();
}

WorkerPool::Task *WorkerPool::takeQueued() {
    for (std::deque<Task *> *queue : {&blocks_, &files_}) {
        if (!queue->empty()) {
            Task *task = queue->front();
            queue->pop_front();
            return task;
        }
    }
    return nullptr;
}

void WorkerPool::runTaken(Task &task, std::unique_lock<std::mutex> &lock) {
    task.state_ = Task::State::Running;
    lock.unlock();
    task.run();
    lock.lock();
    task.state_ = Task::State::Done;
    changed_.notify_all();
}

void WorkerPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] {
            return stopping_ || !blocks_.empty() || !files_.empty();
        });
        Task *task = takeQueued();
        if (task == nullptr)
            return; // stopping, and nothing is left
        runTaken(*task, lock);
    }
}

bool WorkerPool::runHere(Task &task) {
    std::unique_lock lock(mutex_);
    if (task.state_ != Task::State::Queued ||
        !(removeFrom(blocks_, task) || removeFrom(files_, task)))
        return false;
    runTaken(task, lock);
    return true;
}

bool WorkerPool::cancel(Task &task) {
    const std::lock_guard lock(mutex_);
    if (task.state_ != Task::State::Queued ||
        !(removeFrom(blocks_, task) || removeFrom(files_, task)))
        return false;
    task.state_ = Task::State::Idle;
    return true;
}

bool WorkerPool::isDone(const Task &task) {
    const std::lock_guard lock(mutex_);
    return task.state_ == Task::State::Done;
}

void WorkerPool::waitFor(const Task &task) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return task.state_ == Task::State::Done; });
}

void WorkerPool::runUntil(const std::function<bool()> &finished) {
    std::unique_lock lock(mutex_);
    while (!finished()) {
        if (Task *task = takeQueued())
            runTaken(*task, lock);
        else
            changed_.wait(lock);
    }
}

bool WorkerPool::takeBlockSlot() {
    const std::lock_guard lock(mutex_);
    if (blockSlots_ == 0)
        return false;
    --blockSlots_;
    return true;
}

void WorkerPool::returnBlockSlot() {
    const std::lock_guard lock(mutex_);
    ++blockSlots_;
}
