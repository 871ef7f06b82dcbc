#pragma once
// What the process's two heaps that matter hold, to tell growth that is the
// host's and the add-ins' own from growth the system's libraries leave.

#include <cstdint>

namespace kq::simhost {

struct HeapFigures {
    std::uint64_t committed = 0;  // memory the heap has taken from the system
    std::uint64_t busy = 0;       // bytes of the blocks in use
    // Blocks in use of exactly 1,024 bytes. Wine 8 takes a buffer of that
    // size for every GetClipboardData and leaves it behind when its cache
    // in the process answers, as it does when the host that put the data
    // there reads it back (the host's copy read by its add-in).
    std::uint64_t kilobyteBlocks = 0;
};

struct HeapCensus {
    HeapFigures process;  // the process heap: where the system's libraries allocate
    HeapFigures runtime;  // the C runtime's: simhost's and the add-ins' own objects
};

HeapCensus takeHeapCensus();

}  // namespace kq::simhost
