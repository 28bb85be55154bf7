#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/LocalFiles.h"

namespace {

// The folder of the running executable, so that the program folder works wherever it was
// copied to.
std::filesystem::path executable_folder(const char* argv0) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return self.parent_path();
    }
    return std::filesystem::absolute(argv0, error).parent_path();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    orv::LocalFiles files;
    return orv::cli::run(arguments, executable_folder(argv[0]), files, std::cout, std::cerr);
}
