#pragma once

#include "WorkerPool.h"

#include <deque>
#include <memory>
#include <type_traits>
#include <vector>

// What reading the next block gave.
enum class BlockRead {
    More,    // a block; more may follow
    Last,    // a block, and nothing follows it
    Nothing, // nothing is left
    // A block that is converted on the reading thread right before it is
    // written, after every block before it: it reads on from the file
    // while it is written. No block is read until it has been.
    InOrder,
};

// Converts a file in blocks: each block is read in the file's order on the
// calling thread, converted on any thread of the pool, side by side with
// the blocks around it, and written in the file's order on the calling
// thread. The result is the same whatever the threads: with one (or no
// pool) the blocks go one by one through the three steps.
//
//   read(Block &) -> BlockRead  fills the next block; a block comes back
//                               with what an earlier one held, to be reset
//   convert(Block &)            on any thread, several blocks at once: it
//                               may only read what the blocks share
//   write(Block &) -> bool      false stops the run: the blocks read after
//                               it are dropped
//
// Returns false when write() stopped the run. A file has one block in
// flight, and as many more as the pool's budget lends it.
template <class Block, class Read, class Convert, class Write>
bool convertInBlocks(WorkerPool *pool, Read &&read, Convert &&convert,
                     Write &&write) {
    using ConvertStep = std::remove_reference_t<Convert>;
    struct Slot final : WorkerPool::Task {
        explicit Slot(ConvertStep &step) : convert(step) {}
        void run() override { convert(block); }
        ConvertStep &convert;
        Block block;
        bool inOrder = false;
        bool queued = false; // handed to the pool
    };
    // The blocks under way, oldest first. Whatever ends the run, none is
    // left with the pool when the slots go.
    struct Flight {
        WorkerPool *pool;
        std::deque<Slot *> slots;
        ~Flight() {
            for (Slot *slot : slots)
                if (slot->queued && !pool->cancel(*slot))
                    pool->waitFor(*slot);
        }
    };

    std::vector<std::unique_ptr<Slot>> made;
    std::vector<Slot *> spare;
    Flight flight{pool, {}};
    const bool parallel = pool != nullptr && pool->threads() > 1;
    // The oldest block, done by whichever thread gets to it first: this one
    // runs it when no pool thread has taken it, or another of its blocks
    // meanwhile, and waits only when all of them have been taken.
    const auto finish = [&](Slot &oldest) {
        while (!pool->runHere(oldest) && !pool->isDone(oldest)) {
            bool helped = false;
            for (Slot *slot : flight.slots)
                if (slot->queued && (helped = pool->runHere(*slot)))
                    break;
            if (!helped)
                pool->waitFor(oldest);
        }
    };

    bool reading = true, writing = true, held = false;
    for (;;) {
        while (reading && writing && !held) {
            // Beyond the first block in flight, each is lent by the pool.
            const bool lent = !flight.slots.empty();
            if (lent && !(parallel && pool->takeBlockSlot()))
                break;
            if (spare.empty()) {
                made.push_back(std::make_unique<Slot>(convert));
                spare.push_back(made.back().get());
            }
            Slot *slot = spare.back();
            const BlockRead got = read(slot->block);
            if (got == BlockRead::Nothing) {
                reading = false;
                if (lent)
                    pool->returnBlockSlot();
                break;
            }
            spare.pop_back();
            reading = got != BlockRead::Last;
            slot->inOrder = held = got == BlockRead::InOrder;
            slot->queued = parallel && !slot->inOrder;
            if (slot->queued)
                pool->submit(*slot, WorkerPool::Kind::Block);
            flight.slots.push_back(slot);
        }
        if (flight.slots.empty())
            break;
        Slot &oldest = *flight.slots.front();
        if (!oldest.queued) {
            if (writing)
                convert(oldest.block);
            held = false;
        } else if (writing) {
            finish(oldest);
        } else if (!pool->cancel(oldest)) {
            pool->waitFor(oldest);
        }
        writing = writing && write(oldest.block);
        flight.slots.pop_front();
        if (!flight.slots.empty())
            pool->returnBlockSlot();
        spare.push_back(&oldest);
    }
    return writing;
}
