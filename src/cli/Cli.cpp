#include "cli/Cli.h"

#include <map>
#include <ostream>

#include "cli/DbCommand.h"
#include "cli/ListCommand.h"
#include "cli/TranslateCommand.h"

namespace orv::cli {
namespace {

using CommandFunction = int (*)(const Context&, std::span<const std::string>);

struct CommandEntry {
    std::string_view name;
    CommandFunction run;
};

// The sub-commands of the batch tool.
constexpr CommandEntry kCommands[] = {
    {"list", run_list},
    {"translate", run_translate},
    {"db", run_db},
};

Text usage() {
    return cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] BEFEHL ...\r"
                  u8"Befehle:\r"
                  u8"  list PLUGIN\r"
                  u8"  translate PLUGIN -o AUSGABE [--edits ÄNDERUNGEN] [--update-external]\r"
                  u8"  db export DATEI.dat [--triples]\r"
                  u8"  db import TEXTDATEI -o DATEI.dat [--triples]\r"
                  u8"  db check DATEI.dat [--triples]");
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

int run(std::span<const std::string> arguments, const std::filesystem::path& default_program_dir,
        Files& files, std::ostream& out, std::ostream& err) {
    Context context{files, default_program_dir, out, err};
    std::size_t next = 0;
    if (next < arguments.size() && arguments[next] == "--program-dir") {
        if (next + 1 >= arguments.size()) {
            return refuse(context, usage());
        }
        context.program_dir = path_from_utf8(arguments[next + 1]);
        next += 2;
    }
    if (next >= arguments.size()) {
        return refuse(context, usage());
    }
    for (const auto& command : kCommands) {
        if (arguments[next] == command.name) {
            return command.run(context, arguments.subspan(next + 1));
        }
    }
    return refuse(context, usage());
}

} // namespace orv::cli
