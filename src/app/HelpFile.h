#pragma once

#include <filesystem>

namespace orv {

// The program's help: the German page help/index.html in the program folder, where every
// build and the archive put it. Only this function knows where the help lies; the window
// opens the page it is given.
inline std::filesystem::path help_page(const std::filesystem::path& program_dir) {
    return program_dir / "help" / "index.html";
}

} // namespace orv
