#include "SlotThreads.h"

#include <system_error>

SlotThreads::SlotThreads(int count, int slotCount, Work work)
    : count_(count), work_(std::move(work)) {
    threads_.reserve(slotCount);
    try {
        for (int slot = 0; slot < slotCount; ++slot)
            threads_.emplace_back(&SlotThreads::run, this, slot);
    } catch (const std::system_error &) {
        // No more threads to be had: the ones there take every item.
        if (threads_.empty())
            throw;
    }
}

SlotThreads::~SlotThreads() {
    stop();
    for (std::thread &thread : threads_)
        thread.join();
}

void SlotThreads::run(int slot) {
    for (int item = next_++; item < count_; item = next_++)
        work_(slot, item);
}
