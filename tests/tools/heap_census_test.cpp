#include "tools/simhost/heap_census.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "common/win32/windows_api.h"

namespace kq::simhost {
namespace {

// The census tells the process heap's blocks from the runtime's: kept 1 KB
// blocks of the process heap are counted there and nowhere else, and what
// malloc keeps shows in the runtime heap's bytes in use.
TEST(HeapCensus, TellsTheProcessHeapFromTheRuntimeHeap) {
    constexpr int kBlocks = 40;
    const HeapCensus before = takeHeapCensus();

    std::vector<void*> kilobytes;
    for (int i = 0; i < kBlocks; ++i) kilobytes.push_back(HeapAlloc(GetProcessHeap(), 0, 1024));
    std::vector<void*> runtime;
    for (int i = 0; i < kBlocks; ++i) runtime.push_back(std::malloc(1024));
    const HeapCensus during = takeHeapCensus();
    for (void* block : kilobytes) HeapFree(GetProcessHeap(), 0, block);
    for (void* block : runtime) std::free(block);
    const HeapCensus after = takeHeapCensus();

    EXPECT_EQ(during.process.kilobyteBlocks, before.process.kilobyteBlocks + kBlocks);
    EXPECT_GE(during.process.busy, before.process.busy + kBlocks * 1024);
    EXPECT_GE(during.runtime.busy, before.runtime.busy + kBlocks * 1024);
    EXPECT_EQ(after.process.kilobyteBlocks, before.process.kilobyteBlocks);
    EXPECT_GT(during.process.committed, 0u);
    EXPECT_GT(during.runtime.committed, 0u);
}

}  // namespace
}  // namespace kq::simhost
