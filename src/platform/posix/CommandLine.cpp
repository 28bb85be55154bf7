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

void back_heap_with_large_pages() {
#if defined(__GLIBC__)
    // The heap grows by this much address space at a time, and a freed top of the heap is
    // given back only beyond twice that. Blocks below 32 MiB (the plugin's copy among them)
    // come from the heap too, instead of each from a fresh mapping of its own.
    constexpr int growth_step = 64 << 20;
    mallopt(M_TOP_PAD, growth_step);
    mallopt(M_TRIM_THRESHOLD, 2 * growth_step);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);

    // One block larger than the heap's free top makes it grow now, by the block and a step;
    // freed, the block stays in the heap. The free top and what the heap grew by are advised:
    // the system takes large pages for the parts of them that cover whole 2 MiB.
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::size_t free_top = mallinfo2().keepcost;
    const auto top_end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // (Through a volatile pointer: the compiler drops a block that is freed unused.)
    void* volatile block = std::malloc(free_top + (1 << 20));
    std::free(block);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t begin = (top_end - free_top) / page * page;
    if (after > begin) {
        // A refusal (a system without large pages) leaves the heap as it was.
        madvise(reinterpret_cast<void*>(begin), after - begin, MADV_HUGEPAGE);
    }
#endif
}

} // namespace orv
