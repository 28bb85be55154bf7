#include "platform/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#if defined(__GLIBC__)
#include <sys/mman.h>
#endif

namespace orv {
namespace {

#if defined(__GLIBC__)
// The address sanitizer brings an allocator of its own, which these settings do not reach.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
constexpr bool kOwnAllocator = __has_feature(address_sanitizer);
#else
constexpr bool kOwnAllocator = false;
#endif

// The flags ("VmFlags: rd wr ... hg") of the mapping that holds `address`, from the system's
// description of this process's memory; empty when no mapping holds it.
std::string mapping_flags(const void* address) {
    const auto wanted = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream maps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(maps, line)) {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> begin >> dash >> end && dash == '-') {
            inside = begin <= wanted && wanted < end;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line + ' ';
        }
    }
    return {};
}

TEST(HeapPages, LargeBlocksTakenLaterLieInMemoryAdvisedForLargePagesAndNothingElseIs) {
    if (kOwnAllocator) {
        GTEST_SKIP() << "the sanitizer's allocator takes no advice";
    }
    if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage")) {
        GTEST_SKIP() << "this system has no large pages for ordinary memory";
    }
    // Memory of the process outside the heap keeps its own pages.
    void* const other = mmap(nullptr, std::size_t{4} << 20, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(other, MAP_FAILED);
    back_heap_with_large_pages();
    EXPECT_EQ(mapping_flags(other).find(" hg "), std::string::npos) << mapping_flags(other);
    munmap(other, std::size_t{4} << 20);
    // Blocks far above the size glibc would otherwise give a mapping of their own, like the
    // copy of a large plugin or a name index. (Small blocks may reuse freed room below.)
    for (const std::size_t size : {std::size_t{1} << 20, std::size_t{8} << 20}) {
        SCOPED_TRACE(size);
        void* volatile block = std::malloc(size);
        ASSERT_NE(block, nullptr);
        EXPECT_NE(mapping_flags(block).find(" hg "), std::string::npos) << mapping_flags(block);
        std::free(block);
    }
}
#endif

} // namespace
} // namespace orv
