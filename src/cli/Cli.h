#pragma once

#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace orv::cli {

// Exit statuses of the batch tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitWriteFailed = 1;
inline constexpr int kExitRefused = 2;

// What every command works with. Output is UTF-8; messages on `err` are German.
struct Context {
    Files& files;
    // The folder whose data/ and dataextra/ hold the translation database.
    std::filesystem::path program_dir;
    std::ostream& out;
    std::ostream& err;
};

// Runs the batch tool with its arguments (without the program name). `default_program_dir`
// is used unless --program-dir names another folder. Returns the exit status.
int run(std::span<const std::string> arguments, const std::filesystem::path& default_program_dir,
        Files& files, std::ostream& out, std::ostream& err);

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
