// HeapTally: what operator new has been asked for on the calling thread, so that a benchmark
// can print the allocations and bytes one unit of work costs. Linking heap_tally.cpp replaces
// the global operator new and delete of the program with counting ones.
#pragma once

#include <cstddef>

namespace lembrete::bench {

struct HeapTally {
    std::size_t allocations = 0;
    std::size_t bytes = 0;
};

// The calling thread's tally so far.
HeapTally heapTally();

}  // namespace lembrete::bench
