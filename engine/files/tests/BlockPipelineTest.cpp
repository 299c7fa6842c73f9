// Blocks through the worker pool: written in their order whatever thread
// converts them and however long each takes, a stop drops the blocks after
// it, and files that convert their own blocks side by side all finish.
#include "BlockPipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct NumberBlock {
    long n = 0;
    long converted = 0;
};

// Some work whose length differs from block to block.
long slowSquare(long n) {
    volatile long sink = 0;
    for (long i = 0; i < (n * 7919) % 5000; ++i)
        sink = sink + i;
    return n * n;
}

// Converts blocks 0 to count - 1 (every 13th in order on this thread),
// stopping after stopAt; the converted values in the order written.
std::vector<long> run(WorkerPool *pool, long count, long stopAt, bool &whole) {
    long next = 0;
    std::vector<long> written;
    whole = convertInBlocks<NumberBlock>(
        pool,
        [&](NumberBlock &block) {
            if (next == count)
                return BlockRead::Nothing;
            block.n = next++;
            return block.n % 13 == 12 ? BlockRead::InOrder : BlockRead::More;
        },
        [](NumberBlock &block) { block.converted = slowSquare(block.n); },
        [&](NumberBlock &block) {
            written.push_back(block.converted);
            return block.n != stopAt;
        });
    return written;
}

} // namespace

TEST(BlockPipeline, WritesInOrderAndStopsCleanly) {
    for (const unsigned threads : {0u, 1u, 2u, 5u}) {
        for (const long stopAt : {-1L, 0L, 37L}) {
            SCOPED_TRACE(testing::Message()
                         << threads << " threads, stop at " << stopAt);
            std::unique_ptr<WorkerPool> pool;
            if (threads != 0)
                pool = std::make_unique<WorkerPool>(threads);
            bool whole = false;
            const std::vector<long> written =
                run(pool.get(), 100, stopAt, whole);
            const long expected = stopAt < 0 ? 100 : stopAt + 1;
            ASSERT_EQ(written.size(), static_cast<std::size_t>(expected));
            for (long n = 0; n < expected; ++n)
                EXPECT_EQ(written[static_cast<std::size_t>(n)], n * n);
            EXPECT_EQ(whole, stopAt < 0);
        }
    }
}

// More files than threads, each converting its blocks while the others do:
// every file gets its blocks back in order, and the budget of blocks in
// flight is whole again at the end.
TEST(BlockPipeline, FilesOfAWorkspaceShareThePool) {
    struct File final : WorkerPool::Task {
        WorkerPool *pool = nullptr;
        long index = 0;
        std::vector<long> written;
        std::atomic<int> *finished = nullptr;
        void run() override {
            bool whole = false;
            written = ::run(pool, 20 + index, -1, whole);
            ++*finished;
        }
    };
    WorkerPool pool(3);
    std::atomic<int> finished{0};
    std::vector<std::unique_ptr<File>> files;
    for (long i = 0; i < 12; ++i) {
        files.push_back(std::make_unique<File>());
        files.back()->pool = &pool;
        files.back()->index = i;
        files.back()->finished = &finished;
        pool.submit(*files.back(), WorkerPool::Kind::File);
    }
    pool.runUntil([&] { return finished == 12; });
    for (const auto &file : files) {
        pool.waitFor(*file);
        ASSERT_EQ(file->written.size(),
                  static_cast<std::size_t>(20 + file->index));
        for (std::size_t n = 0; n < file->written.size(); ++n)
            EXPECT_EQ(file->written[n], long(n * n));
    }
    int slots = 0;
    while (pool.takeBlockSlot())
        ++slots;
    EXPECT_EQ(slots, 8); // four for each pool thread
}
