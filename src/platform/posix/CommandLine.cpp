#include "platform/CommandLine.h"

#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
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

} // namespace orv
