#include "plugin/PluginErrors.h"

#include <string>

namespace orv {
namespace {

Text message_of(PluginProblem problem, std::size_t offset) {
    const Text not_a_plugin = cp1252(u8"DIE DATEI IST KEIN GÜLTIGES PLUGIN: ");
    switch (problem) {
    case PluginProblem::FileTooShort:
        return not_a_plugin + cp1252(u8"SIE IST KÜRZER ALS 324 BYTES.");
    case PluginProblem::HeaderRecordTooShort:
        return not_a_plugin + cp1252(u8"IHR KOPFDATENSATZ IST KÜRZER ALS 324 BYTES.");
    case PluginProblem::EmptyFirstTag:
        return not_a_plugin + cp1252(u8"SIE BEGINNT NICHT MIT EINEM DATENSATZ.");
    case PluginProblem::RecordPastEnd:
        break;
    }
    // The damaged file: its message names the record that runs past the end.
    return cp1252(u8"DIE DATEI IST BESCHÄDIGT: DER DATENSATZ AB BYTE ") + std::to_string(offset) +
           cp1252(u8" REICHT ÜBER DAS ENDE DER DATEI HINAUS.");
}

} // namespace

Error plugin_error(PluginProblem problem, std::size_t offset) {
    Error error{ErrorKind::UnusableFile, offset, message_of(problem, offset)};
    error.problem = static_cast<int>(problem);
    return error;
}

std::optional<PluginProblem> plugin_problem(const Error& error) {
    if (error.kind != ErrorKind::UnusableFile || error.problem == 0) {
        return std::nullopt;
    }
    return static_cast<PluginProblem>(error.problem);
}

} // namespace orv
