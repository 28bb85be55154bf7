#include "cli/DbExportCommand.h"

#include <ostream>

#include "cli/DbFiles.h"
#include "translation/TextConventions.h"

namespace orv::cli {
namespace {

template <std::size_t N>
std::string entry_line(const DatabaseEntry<N>& entry) {
    std::string line;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            line += '\t';
        }
        line += escape_field(entry[i]);
    }
    line += '\n';
    return line;
}

Text damaged_message(const std::filesystem::path& path, std::size_t damaged_at,
                     std::size_t whole_entries) {
    return cp1252(u8"„") + display_path(path) +
           cp1252(u8"“ endet mitten in einem Eintrag: der Eintrag ab Byte ") +
           std::to_string(damaged_at) + cp1252(u8" ist unvollständig. Ausgegeben wurden die ") +
           std::to_string(whole_entries) + cp1252(u8" ganzen Einträge davor.");
}

template <std::size_t N>
int export_entries(const Context& context, const std::filesystem::path& path, ByteSpan bytes) {
    const auto file = parse_database<N>(bytes);
    std::string out;
    for (const auto& entry : file.entries) {
        out += entry_line<N>(entry);
    }
    context.out << out;
    context.out.flush();
    if (file.damaged) {
        return refuse(context, damaged_message(path, file.damaged_at, file.entries.size()));
    }
    return kExitOk;
}

} // namespace

int run_db_export(const Context& context, std::span<const std::string> arguments) {
    const auto input = read_db_input(context, arguments);
    if (!input) {
        return refuse(context, input.error().message);
    }
    return input->arguments.triples
               ? export_entries<3>(context, input->arguments.input, input->bytes)
               : export_entries<2>(context, input->arguments.input, input->bytes);
}

} // namespace orv::cli
