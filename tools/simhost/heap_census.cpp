#include "tools/simhost/heap_census.h"

#include "common/win32/windows_api.h"

#include <cstdlib>
#include <memory>

namespace kq::simhost {

namespace {

HeapFigures figuresOf(HANDLE heap) {
    HeapFigures figures;
    if (!HeapLock(heap)) return figures;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_REGION) {
            figures.committed += entry.Region.dwCommittedSize;
        } else if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            figures.busy += entry.cbData;
            if (entry.cbData == 1024) ++figures.kilobyteBlocks;
        }
    }
    HeapUnlock(heap);
    return figures;
}

// The heap malloc takes from: the one that owns a block it just gave.
HANDLE runtimeHeap() {
    const std::unique_ptr<void, decltype(&std::free)> probe(std::malloc(1), &std::free);
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (heaps[i] != GetProcessHeap() && HeapValidate(heaps[i], 0, probe.get())) return heaps[i];
    }
    return nullptr;
}

}  // namespace

HeapCensus takeHeapCensus() {
    HeapCensus census;
    census.process = figuresOf(GetProcessHeap());
    if (const HANDLE runtime = runtimeHeap()) census.runtime = figuresOf(runtime);
    return census;
}

}  // namespace kq::simhost
