#include "cli/LearnCommand.h"

#include <algorithm>
#include <optional>
#include <ostream>

#include "learn/LearnInto.h"
#include "learn/LearnReport.h"
#include "translation/TranslationDatabase.h"

namespace orv::cli {
namespace {

std::optional<LearnFiles> parse_arguments(const Context& context,
                                          std::span<const std::string> arguments) {
    LearnFiles paths{{}, {}, context.program_dir / kExtraFolder};
    std::vector<std::filesystem::path> files;
    bool have_into = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--into" && i + 1 < arguments.size() && !have_into) {
            paths.into = path_from_utf8(arguments[++i]);
            have_into = true;
        } else if (!arguments[i].empty() && arguments[i][0] != '-' && files.size() < 2) {
            files.push_back(path_from_utf8(arguments[i]));
        } else {
            return std::nullopt;
        }
    }
    if (files.size() != 2) {
        return std::nullopt;
    }
    paths.english = files[0];
    paths.german = files[1];
    return paths;
}

bool is_write_failure(ErrorKind kind) {
    return kind == ErrorKind::CreateFailed || kind == ErrorKind::WriteFailed ||
           kind == ErrorKind::RenameFailed || kind == ErrorKind::RemoveFailed;
}

} // namespace

int run_learn(const Context& context, std::span<const std::string> arguments) {
    const auto paths = parse_arguments(context, arguments);
    if (!paths) {
        return refuse(context, cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] learn "
                                      u8"ENGLISCH DEUTSCH [--into ORDNER]"));
    }
    const auto summary = learn_into(context.files, *paths, today_date());
    if (!summary) {
        const int status = refuse(context, summary.error().message);
        return is_write_failure(summary.error().kind) ? kExitWriteFailed : status;
    }
    std::string shown = to_utf8(describe_learned(*summary, display_path(paths->german.filename())));
    std::replace(shown.begin(), shown.end(), '\r', '\n');
    context.out << shown;
    context.out.flush();
    return kExitOk;
}

} // namespace orv::cli
