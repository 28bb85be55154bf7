#include "cli/Cli.h"

#include <algorithm>
#include <optional>
#include <ostream>

#include "cli/CheckCommand.h"
#include "cli/DbCommand.h"
#include "cli/DiffCommand.h"
#include "cli/LearnCommand.h"
#include "cli/ListCommand.h"
#include "cli/SuggestCommand.h"
#include "cli/TodoCommand.h"
#include "cli/TranslateCommand.h"
#include "platform/Version.h"

namespace orv::cli {
namespace {

// The sub-commands of the batch tool.
// clang-format off
constexpr CommandEntry kCommands[] = {
    {"list", run_list},
    {"todo", run_todo},
    {"suggest", run_suggest},
    {"translate", run_translate},
    {"check", run_check},
    {"db", run_db},
    {"learn", run_learn},
    {"diff", run_diff},
};
// clang-format on

Text usage() {
    return cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] BEFEHL ...\r"
                  u8"Befehle:\r"
                  u8"  list PLUGIN\r"
                  u8"  todo PLUGIN\r"
                  u8"  suggest \"EV NAME\" [--list LISTE]\r"
                  u8"  translate PLUGIN -o AUSGABE [--edits ÄNDERUNGEN] [--update-external]\r"
                  u8"  translate PLUGIN --in-place [--edits ÄNDERUNGEN] [--update-external]\r"
                  u8"  check PLUGIN [--edits ÄNDERUNGEN]\r"
                  u8"  db export DATEI.dat [--triples]\r"
                  u8"  db import TEXTDATEI -o DATEI.dat [--triples]\r"
                  u8"  db check DATEI.dat [--triples]\r"
                  u8"  learn ENGLISCH DEUTSCH [--into ORDNER]\r"
                  u8"  diff ALT NEU\r"
                  u8"  --help, --version");
}

// A program folder named by hand must hold the translation database: a mistyped folder
// would otherwise run without any translations, and a save would create folders there.
std::optional<Text> program_dir_refusal(Files& files, const std::filesystem::path& folder) {
    const Text name = cp1252(u8"„") + display_path(folder) + cp1252(u8"“");
    if (!files.exists(folder)) {
        return cp1252(u8"Den Programmordner ") + name + cp1252(u8" gibt es nicht.");
    }
    if (!files.exists(folder / "data")) {
        return cp1252(u8"Im Programmordner ") + name +
               cp1252(u8" fehlt der Ordner „data“ mit der Übersetzungsdatenbank.");
    }
    return std::nullopt;
}

} // namespace

int refuse(const Context& context, const Text& message) {
    std::string shown = to_utf8(message);
    // Messages use CR as line break, as the window shows them; a terminal wants LF.
    for (auto& c : shown) {
        if (c == '\r') {
            c = '\n';
        }
    }
    context.err << shown << '\n';
    context.err.flush();
    return kExitRefused;
}

int run_named(const Context& context, std::span<const CommandEntry> commands,
              std::span<const std::string> arguments, const Text& usage) {
    if (!arguments.empty()) {
        for (const auto& command : commands) {
            if (arguments[0] == command.name) {
                return command.run(context, arguments.subspan(1));
            }
        }
    }
    return refuse(context, usage);
}

int run(std::span<const std::string> arguments, const std::filesystem::path& default_program_dir,
        Files& files, std::ostream& out, std::ostream& err, ProcessEnd process_end) {
    Context context{files, default_program_dir, out, err, process_end};
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::string shown = to_utf8(usage());
        std::replace(shown.begin(), shown.end(), '\r', '\n');
        out << shown << '\n';
        out.flush();
        return kExitOk;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        out << "orvental-cli " << kVersion << '\n';
        out.flush();
        return kExitOk;
    }
    std::size_t next = 0;
    if (next < arguments.size() && arguments[next] == "--program-dir") {
        if (next + 1 >= arguments.size()) {
            return refuse(context, usage());
        }
        context.program_dir = path_from_utf8(arguments[next + 1]);
        if (const auto refusal = program_dir_refusal(files, context.program_dir)) {
            return refuse(context, *refusal);
        }
        next += 2;
    }
    return run_named(context, kCommands, arguments.subspan(next), usage());
}

} // namespace orv::cli
