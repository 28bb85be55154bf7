#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace orv::cli {

// Exit statuses of the batch tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitWriteFailed = 1;
inline constexpr int kExitRefused = 2;

// What becomes of a command's loaded plugin and tables once it is done with them.
enum class ProcessEnd {
    // They are freed as usual: the process goes on (the tests run many commands in one).
    FreeEverything,
    // The process ends as soon as the command returns: they are left to the system, which
    // takes their memory back at once. Freeing a large plugin's hundred thousand pieces one
    // by one would only delay the end by several milliseconds.
    LeaveMemoryToSystem,
};

// What every command works with. Output is UTF-8; messages on `err` are German.
struct Context {
    Files& files;
    // The folder whose data/ and dataextra/ hold the translation database.
    std::filesystem::path program_dir;
    std::ostream& out;
    std::ostream& err;
    ProcessEnd process_end = ProcessEnd::FreeEverything;
};

// Runs the batch tool with its arguments (without the program name). `default_program_dir`
// is used unless --program-dir names another folder. Returns the exit status.
int run(std::span<const std::string> arguments, const std::filesystem::path& default_program_dir,
        Files& files, std::ostream& out, std::ostream& err,
        ProcessEnd process_end = ProcessEnd::FreeEverything);

// Takes `object` (moved out of) for the rest of the process when the context says that the
// process ends after the command; otherwise leaves it where it is, to be freed as usual.
// Call it only when nothing will be written any more: whatever it takes is never
// destroyed, so it must own nothing that needs closing.
template <typename T>
void leave_to_process_end(const Context& context, T& object) {
    if (context.process_end != ProcessEnd::LeaveMemoryToSystem) {
        return;
    }
    // Reachable until the end, so that a leak checker does not count it as lost.
    static auto* const left = new std::vector<std::shared_ptr<void>>();
    left->push_back(std::make_shared<T>(std::move(object)));
}

// Prints a German refusal (Windows-1252 text) on `err` as UTF-8 and returns kExitRefused.
int refuse(const Context& context, const Text& message);

// A command of the batch tool (or a sub-command of one), run with the arguments after its
// name.
using CommandFunction = int (*)(const Context&, std::span<const std::string>);

struct CommandEntry {
    std::string_view name;
    CommandFunction run;
};

// Runs the command of `commands` that the first of `arguments` names, with the arguments
// after its name. Refuses with `usage` when no argument is left or no command has that name.
int run_named(const Context& context, std::span<const CommandEntry> commands,
              std::span<const std::string> arguments, const Text& usage);

} // namespace orv::cli
