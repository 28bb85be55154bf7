#include <gtest/gtest.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/CommandLine.h"

namespace orv {
namespace {

// The "VmFlags:" line of the memory mapping that holds `address`, or nothing.
std::string flags_of_mapping_holding(std::uintptr_t address) {
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool holds = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        // A mapping starts with a line "begin-end permissions ..." in hexadecimal.
        if (std::sscanf(line.c_str(), "%" SCNxPTR "-%" SCNxPTR " ", &begin, &end) == 2) {
            holds = begin <= address && address < end;
        } else if (holds && line.starts_with("VmFlags:")) {
            return line;
        }
    }
    return {};
}

TEST(HeapSetupTest, LargeBlocksComeFromTheHeapMarkedForHugePages) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address checker's allocator keeps its blocks in memory of its own";
#endif
    if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage")) {
        GTEST_SKIP() << "this system has no huge pages to ask for";
    }
    prepare_heap_for_one_large_job();
    // Four times the size above which the allocator maps a block on its own by default.
    constexpr std::size_t kSize = std::size_t{4} << 20;
    const auto block = std::make_unique<char[]>(kSize);
    const auto middle = reinterpret_cast<std::uintptr_t>(block.get()) + kSize / 2;
    EXPECT_LT(middle, reinterpret_cast<std::uintptr_t>(sbrk(0)))
        << "the block has a mapping of its own, not a place in the heap";
    const std::string flags = flags_of_mapping_holding(middle);
    EXPECT_NE(flags.find(" hg"), std::string::npos) << flags;
}

} // namespace
} // namespace orv
