#include "heap_tally.h"

#include <cstdlib>
#include <new>

namespace {

// Thread-local: counting costs next to nothing per allocation, unlike an atomic tally.
thread_local lembrete::bench::HeapTally tally;

}  // namespace

namespace lembrete::bench {

HeapTally heapTally() {
    return tally;
}

}  // namespace lembrete::bench

void* operator new(std::size_t size) {
    ++tally.allocations;
    tally.bytes += size;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
