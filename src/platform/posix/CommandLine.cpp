#include "platform/CommandLine.h"

#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#endif

namespace orv {

std::vector<std::string> command_line_arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::filesystem::path executable_folder(const char* argv0) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return self.parent_path();
    }
    return std::filesystem::absolute(argv0, error).parent_path();
}

std::ostream& standard_output() {
    return std::cout;
}

std::ostream& standard_error() {
    return std::cerr;
}

void share_one_heap_between_threads() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

void prepare_heap_for_one_large_job() {
#if defined(__GLIBC__)
    // Blocks up to this size come from the heap, not from a mapping of their own: such a
    // mapping goes back to the system when the block is freed, and the next large block
    // faults in fresh pages again.
    constexpr int kLargestHeapBlock = 32 << 20;
    // The heap grows by this much more than asked; only the pages written to take memory.
    // Should a job outgrow it, the heap's later growth has small pages, as without this.
    constexpr int kHeapReserve = 64 << 20;
    // A block larger than the heap's first free room, so that the heap grows by the reserve
    // now and the reserve can be marked.
    constexpr std::size_t kGrowingBlock = std::size_t{1} << 20;
    if (mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock) == 0 ||
        mallopt(M_TOP_PAD, kHeapReserve) == 0) {
        return;
    }
    void* block = std::malloc(kGrowingBlock);
    if (block == nullptr) {
        return;
    }
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Only a heap that grew as asked is marked: an allocator that a checking tool put in
    // glibc's place keeps its blocks elsewhere. A system without huge pages refuses the
    // mark, and the heap works with small pages as before.
    if (begin < end && end - begin <= kHeapReserve + 2 * kGrowingBlock) {
        (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
    std::free(block);
#endif
}

} // namespace orv
