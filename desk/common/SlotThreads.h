#pragma once

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

// Work on items 0 .. count-1 spread over up to slotCount threads of their own.
// Thread k works in slot k (its own batch and answer files, for instance);
// each thread takes the next item not yet taken, so items start in their
// order. The owner decides how to wait: by processing events, or by taking
// the results in their order as they come in. The destructor stops the
// handing out of items and waits for the threads.
//
// When no thread can be had at all, std::system_error leaves the
// constructor; fewer threads than slots take every item between them.
class SlotThreads {
  public:
    using Work = std::function<void(int slot, int item)>;

    SlotThreads(int count, int slotCount, Work work);
    ~SlotThreads();
    SlotThreads(const SlotThreads &) = delete;
    SlotThreads &operator=(const SlotThreads &) = delete;

    // The number of threads at work.
    int threads() const { return static_cast<int>(threads_.size()); }
    // No item is handed out after this call; the ones in work end.
    void stop() { next_ = count_; }

  private:
    void run(int slot);

    const int count_;
    const Work work_;
    std::atomic<int> next_{0};
    std::vector<std::thread> threads_;
};
