#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The threads of a run. Work comes as tasks of two kinds: blocks of a
// file's points, and whole files of a workspace run; queued blocks go
// before queued files, so that the files under way finish first. The pool
// has one thread fewer than the run: the thread that made it is the other.
// A thread that needs one of its own queued tasks done runs it itself when
// no pool thread has taken it yet (runHere), so waiting never deadlocks,
// and with one thread (no pool threads at all) everything runs in order on
// the thread that made the pool.
class WorkerPool {
  public:
    class Task {
      public:
        virtual ~Task() = default;
        // Runs on any thread of the pool.
        virtual void run() = 0;

      private:
        friend class WorkerPool;
        enum class State { Idle, Queued, Running, Done };
        State state_ = State::Idle; // guarded by the pool's mutex
    };
    enum class Kind { Block, File };

    // threads: of the run, 1 and more. Where the system refuses to start
    // more threads, the run makes do with those it has.
    explicit WorkerPool(unsigned threads);
    ~WorkerPool(); // every task submitted must have ended
    WorkerPool(const WorkerPool &) = delete;
    WorkerPool &operator=(const WorkerPool &) = delete;

    unsigned threads() const {
        return static_cast<unsigned>(workers_.size()) + 1;
    }

    // Queues the task, which must stay alive until it is done (or
    // cancelled). A task that is done may be submitted again.
    void submit(Task &task, Kind kind);
    // Runs a queued task on this thread, now; false when a pool thread has
    // taken it (it is running or done) or it is not queued.
    bool runHere(Task &task);
    // Takes a task out of the queue unrun; false when it was not queued.
    bool cancel(Task &task);
    bool isDone(const Task &task);
    // Waits until a task that another thread has taken is done.
    void waitFor(const Task &task);
    // Runs queued tasks on this thread, and waits while there are none,
    // until finished() holds; it is asked again each time a task ends.
    void runUntil(const std::function<bool()> &finished);

    // Blocks in flight beyond the one each file always has: a budget shared
    // by every file of the run, so that memory grows with the threads, not
    // with the files or their size. None with one thread.
    bool takeBlockSlot();
    void returnBlockSlot();

  private:
    void work();
    Task *takeQueued(); // under the mutex; nullptr when none is queued
    void runTaken(Task &task, std::unique_lock<std::mutex> &lock);

    std::mutex mutex_;
    // A task was queued or ended, or the pool is stopping. Every thread
    // waits on it for what it needs; there are few threads and each task
    // is a good deal of work, so all of them are woken each time.
    std::condition_variable changed_;
    std::deque<Task *> blocks_, files_;
    unsigned blockSlots_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

// How many threads the machine offers this process: the processors it may
// run on (its affinity), at least 1.
unsigned availableThreads();
