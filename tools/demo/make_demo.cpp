// orv-make-demo SOURCE_FOLDER PROGRAM_FOLDER
//
// Builds the demo files of the program folder that are not database tables:
//   Demo.plugin.txt  ->  demo/Demo.esp
//   and dataextra/Extradata.dat holding only the sentinel pair.
// The database tables under database/ are turned into data/*.dat by `orvental-cli db import`
// (see tools/CMakeLists.txt). The plugin description documents its own line format at its
// top. Bad input stops the generator with a message naming file and line, and a non-zero exit
// status, so that the build fails.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/PluginBuilder.h"
#include "platform/AtomicWrite.h"
#include "platform/LocalFiles.h"
#include "platform/Text.h"
#include "translation/ExternalDatabase.h"
#include "translation/TextConventions.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// Where a source line came from, for messages.
struct SourceLine {
    const fs::path& file;
    std::size_t number;
};

Error input_error(const SourceLine& where, std::u8string_view what) {
    return Error{ErrorKind::BadText, 0,
                 cp1252(u8"„") + display_path(where.file) + cp1252(u8"“, Zeile ") +
                     std::to_string(where.number) + ": " + cp1252(what)};
}

// The escapes and the conversion are those of the batch tool's tables.
Result<Text> decode_field(const SourceLine& where, std::string_view field) {
    auto text = unescape_field(field);
    if (!text) {
        return input_error(where, u8"ungültiger Text: nur die Escape-Folgen \\\\, \\t, \\r und "
                                  u8"\\n, keine rohen Tabulatoren oder Zeilenenden, und nur "
                                  u8"Zeichen, die Windows-1252 darstellen kann.");
    }
    return *text;
}

Result<std::string> read_text_file(Files& files, const fs::path& path) {
    auto bytes = files.read_all(path);
    if (!bytes) {
        return bytes.error();
    }
    std::string text(bytes->size(), '\0');
    std::transform(bytes->begin(), bytes->end(), text.begin(),
                   [](std::byte byte) { return static_cast<char>(byte); });
    return text;
}

Result<std::string_view> subrecord_tag(const SourceLine& where, std::string_view tag) {
    if (tag.size() != 4 || !std::all_of(tag.begin(), tag.end(), [](char character) {
            return character > 0x20 && character < 0x7F;
        })) {
        return input_error(where, u8"ein Tag besteht aus genau vier ASCII-Zeichen.");
    }
    return tag;
}

Result<std::string> parse_hex(const SourceLine& where, std::string_view value) {
    std::string data;
    while (!value.empty()) {
        const auto end = std::min(value.find(' '), value.size());
        const auto number = value.substr(0, end);
        unsigned byte = 0;
        const auto parsed = std::from_chars(number.data(), number.data() + number.size(), byte, 16);
        if (number.size() != 2 || parsed.ec != std::errc{} ||
            parsed.ptr != number.data() + number.size()) {
            return input_error(where, u8"Bytes als zweistellige Hex-Zahlen erwartet.");
        }
        data.push_back(static_cast<char>(byte));
        value.remove_prefix(std::min(end + 1, value.size()));
    }
    return data;
}

// One subrecord line ("text FNAM Iron Sword") added to `record`.
Result<void> add_subrecord(const SourceLine& where, std::string_view kind, std::string_view rest,
                           fixtures::RecordBuilder& record) {
    const auto space = rest.find(' ');
    auto tag = subrecord_tag(where, rest.substr(0, space));
    if (!tag) {
        return tag.error();
    }
    const std::string_view value =
        space == std::string_view::npos ? std::string_view{} : rest.substr(space + 1);
    if (kind == "text" || kind == "whole") {
        auto text = decode_field(where, value);
        if (!text) {
            return text.error();
        }
        if (kind == "text") {
            record.text(*tag, *text);
        } else {
            record.raw(*tag, *text);
        }
    } else if (kind == "u32") {
        std::uint32_t number = 0;
        const auto parsed = std::from_chars(value.data(), value.data() + value.size(), number);
        if (value.empty() || parsed.ec != std::errc{} ||
            parsed.ptr != value.data() + value.size()) {
            return input_error(where, u8"Zahl von 0 bis 4294967295 erwartet.");
        }
        record.u32(*tag, number);
    } else {
        auto data = parse_hex(where, value);
        if (!data) {
            return data.error();
        }
        record.raw(*tag, *data);
    }
    return {};
}

Result<Bytes> encode_plugin(Files& files, const fs::path& path) {
    auto text = read_text_file(files, path);
    if (!text) {
        return text.error();
    }
    std::vector<fixtures::RecordBuilder> records;
    const auto lines = split_lines(*text);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const SourceLine where{path, index + 1};
        std::string_view line = lines[index];
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto space = line.find(' ');
        const auto kind = line.substr(0, space);
        const auto rest =
            space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
        if (kind == "record") {
            auto tag = subrecord_tag(where, rest);
            if (!tag) {
                return tag.error();
            }
            records.emplace_back(*tag);
        } else if (kind == "text" || kind == "whole" || kind == "u32" || kind == "hex") {
            if (records.empty()) {
                return input_error(where, u8"Unterdatensatz vor dem ersten „record“.");
            }
            auto added = add_subrecord(where, kind, rest, records.back());
            if (!added) {
                return added.error();
            }
        } else {
            return input_error(where, u8"erwartet wird record, text, whole, u32 oder hex.");
        }
    }
    std::vector<Bytes> record_bytes;
    for (const auto& record : records) {
        record_bytes.push_back(record.bytes());
    }
    return fixtures::plugin(record_bytes);
}

Result<void> write(Files& files, const fs::path& path, const Bytes& bytes) {
    auto folder = files.create_directories(path.parent_path());
    if (!folder) {
        return folder.error();
    }
    return write_file_atomically(files, path, bytes);
}

Result<void> make_demo(const fs::path& source, const fs::path& program) {
    LocalFiles files;
    auto written = write(files, program / "dataextra" / "Extradata.dat", sentinel_pair());
    if (!written) {
        return written;
    }
    auto plugin = encode_plugin(files, source / "Demo.plugin.txt");
    if (!plugin) {
        return plugin.error();
    }
    return write(files, program / "demo" / "Demo.esp", *plugin);
}

} // namespace
} // namespace orv

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("Aufruf: orv-make-demo QUELLORDNER PROGRAMMORDNER\n", stderr);
        return 2;
    }
    const auto made = orv::make_demo(argv[1], argv[2]);
    if (!made) {
        std::fprintf(stderr, "orv-make-demo: %s\n", orv::to_utf8(made.error().message).c_str());
        return 1;
    }
    return 0;
}
