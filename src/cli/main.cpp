#include "cli/Cli.h"
#include "platform/CommandLine.h"
#include "platform/LocalFiles.h"

int main(int argc, char** argv) {
    orv::share_one_heap_between_threads();
    orv::back_heap_with_large_pages();
    const auto arguments = orv::command_line_arguments(argc, argv);
    orv::LocalFiles files;
    return orv::cli::run(arguments, orv::executable_folder(argv[0]), files, orv::standard_output(),
                         orv::standard_error(), orv::cli::ProcessEnd::LeaveMemoryToSystem);
}
