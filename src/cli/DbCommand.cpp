#include "cli/DbCommand.h"

#include "cli/DbCheckCommand.h"
#include "cli/DbExportCommand.h"
#include "cli/DbFiles.h"
#include "cli/DbImportCommand.h"

namespace orv::cli {
namespace {

// The sub-commands of db.
// clang-format off
constexpr CommandEntry kDbCommands[] = {
    {"export", run_db_export},
    {"import", run_db_import},
    {"check", run_db_check},
};
// clang-format on

} // namespace

int run_db(const Context& context, std::span<const std::string> arguments) {
    return run_named(context, kDbCommands, arguments, db_usage());
}

} // namespace orv::cli
