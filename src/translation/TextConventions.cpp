#include "translation/TextConventions.h"

#include <algorithm>
#include <array>

namespace orv {
namespace {

// UTF-8 of U+FEFF, which editors on Windows put at the start of a file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What a field's Windows-1252 byte becomes in a text file: the same byte (ASCII), a
// backslash escape (backslash, tab, CR, LF) or its UTF-8 sequence (0x80 and above).
enum class FieldByte : unsigned char { Copied, Escaped, Converted };

constexpr std::array<FieldByte, 256> kFieldBytes = [] {
    std::array<FieldByte, 256> kinds{};
    for (std::size_t byte = 0x80; byte < kinds.size(); ++byte) {
        kinds[byte] = FieldByte::Converted;
    }
    for (const char escaped : {'\\', '\t', '\r', '\n'}) {
        kinds[static_cast<unsigned char>(escaped)] = FieldByte::Escaped;
    }
    return kinds;
}();

// The letter after the backslash of an escaped byte.
char escape_letter(unsigned char byte) {
    switch (byte) {
    case '\t':
        return 't';
    case '\r':
        return 'r';
    case '\n':
        return 'n';
    default:
        return '\\';
    }
}

} // namespace

void append_escaped_line(std::string& out, std::initializer_list<TextView> fields) {
    const char* separator = "";
    for (const TextView field : fields) {
        out += separator;
        append_escaped_field(out, field);
        separator = "\t";
    }
    out.push_back('\n');
}

void append_escaped_field(std::string& out, TextView cp1252) {
    // The four escaped characters are ASCII, and every other byte converts on its own, so
    // each byte is either escaped, converted or copied. Most bytes are copied: runs of them
    // go in one piece, and only the bytes of a table's other two kinds end a run. Large
    // outputs (the list, the findings) are megabytes of fields.
    out.reserve(out.size() + cp1252.size());
    std::size_t run = 0;
    for (std::size_t pos = 0; pos < cp1252.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(cp1252[pos]);
        const FieldByte kind = kFieldBytes[byte];
        if (kind == FieldByte::Copied) {
            continue;
        }
        out.append(cp1252.data() + run, pos - run);
        if (kind == FieldByte::Escaped) {
            out.push_back('\\');
            out.push_back(escape_letter(byte));
        } else {
            append_utf8(out, cp1252.substr(pos, 1));
        }
        run = pos + 1;
    }
    out.append(cp1252.data() + run, cp1252.size() - run);
}

std::string escape_field(TextView cp1252) {
    std::string out;
    append_escaped_field(out, cp1252);
    return out;
}

std::optional<Text> unescape_field(std::string_view utf8) {
    std::string plain;
    plain.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size(); ++pos) {
        if (utf8[pos] == '\t' || utf8[pos] == '\r' || utf8[pos] == '\n') {
            // These must be written as escapes; a raw one is a broken line end.
            return std::nullopt;
        }
        if (utf8[pos] != '\\') {
            plain.push_back(utf8[pos]);
            continue;
        }
        if (pos + 1 == utf8.size()) {
            return std::nullopt;
        }
        ++pos;
        switch (utf8[pos]) {
        case '\\':
            plain.push_back('\\');
            break;
        case 't':
            plain.push_back('\t');
            break;
        case 'r':
            plain.push_back('\r');
            break;
        case 'n':
            plain.push_back('\n');
            break;
        default:
            return std::nullopt;
        }
    }
    return from_utf8(plain);
}

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::vector<std::string_view> split_lines(std::string_view contents) {
    std::vector<std::string_view> lines;
    std::size_t start = contents.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (start < contents.size()) {
        // The line ends at the next LF or at the end of the file; a CR directly before that
        // belongs to the line end.
        const std::size_t line_feed = std::min(contents.find('\n', start), contents.size());
        std::size_t end = line_feed;
        if (end > start && contents[end - 1] == '\r') {
            --end;
        }
        lines.push_back(contents.substr(start, end - start));
        start = line_feed + 1;
    }
    return lines;
}

// A raw TAB or LF cannot be inside a field once the line is split, and a CR before the line
// end is taken off, so a raw control character here is a CR inside the line.
Text field_problem(std::string_view field) {
    if (field.find('\r') != std::string_view::npos) {
        return cp1252(u8"Wagenrücklauf (CR) im Text. Ein CR gehört nur direkt vor dem LF (oder "
                      u8"am Dateiende) zum Zeilenende; ein CR im Text wird \\r geschrieben.");
    }
    for (std::size_t pos = 0; pos < field.size(); ++pos) {
        if (field[pos] != '\\') {
            continue;
        }
        if (pos + 1 == field.size() ||
            std::string_view("\\trn").find(field[pos + 1]) == std::string_view::npos) {
            return cp1252(u8"Ungültiges Fluchtzeichen: auf \\ folgt nur \\, t, r oder n.");
        }
        ++pos;
    }
    return cp1252(u8"Ein Zeichen, das Windows-1252 nicht darstellen kann, oder kein gültiges "
                  u8"UTF-8.");
}

} // namespace orv
