// orv-file-work FOLDER OUTPUT
//
// The file work of `orvental-cli --program-dir FOLDER translate FOLDER/Large.esp -o OUTPUT`
// without any of its logic: every database file under FOLDER/data and FOLDER/dataextra is read
// as the program reads it and each of its cache lines touched once (the least a parse does),
// the plugin is split into its records as the load splits it, and the records are written to
// OUTPUT as a save writes them: to a temporary file beside it, flushed to the disk, renamed
// over it. Nothing is looked up, checked or changed. The floor benchmark times it beside `cat`,
// so that its figures tell the part of a translate that is file work from the part that is
// the program's own.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/AtomicWrite.h"
#include "platform/CommandLine.h"
#include "platform/LocalFiles.h"
#include "plugin/PluginReader.h"

namespace orv {
namespace {

// A cache line: the unit in which memory reaches the processor.
constexpr std::size_t kLine = 64;

Result<std::size_t> touch_database_files(Files& files, const std::filesystem::path& folder) {
    std::size_t sum = 0;
    for (const char* part : {"data", "dataextra"}) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder / part, error)) {
            auto contents = files.read_contents(entry.path());
            if (!contents) {
                return contents.error();
            }
            const ByteSpan bytes = contents->bytes();
            for (std::size_t k = 0; k < bytes.size(); k += kLine) {
                sum += std::to_integer<std::size_t>(bytes[k]);
            }
        }
    }
    return sum;
}

Result<void> file_work(const std::filesystem::path& folder, const std::filesystem::path& output) {
    LocalFiles files;
    if (auto touched = touch_database_files(files, folder); !touched) {
        return touched.error();
    }
    auto contents = files.read_contents(folder / "Large.esp");
    if (!contents) {
        return contents.error();
    }
    auto plugin = read_plugin(contents->bytes());
    if (!plugin) {
        return plugin.error();
    }
    contents = FileContents();
    return replace_files(files, {{output, [&plugin](OutputFile& out) -> Result<void> {
                                      for (const Block& block : plugin->blocks) {
                                          if (auto written = out.write(block); !written) {
                                              return written;
                                          }
                                      }
                                      return {};
                                  }}});
}

} // namespace
} // namespace orv

int main(int argc, char** argv) {
    // Memory as the batch tool sets it up.
    orv::share_one_heap_between_threads();
    orv::back_heap_with_large_pages();
    if (argc != 3) {
        std::fprintf(stderr, "usage: orv-file-work FOLDER OUTPUT\n");
        return 2;
    }
    if (auto done = orv::file_work(argv[1], argv[2]); !done) {
        std::fprintf(stderr, "orv-file-work: %s\n", done.error().message.c_str());
        return 1;
    }
    // As the batch tool does, the memory goes back to the system with the process, not block
    // by block.
    std::_Exit(0);
}
