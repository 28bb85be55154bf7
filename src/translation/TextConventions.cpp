#include "translation/TextConventions.h"

namespace orv {

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
    // each byte is either escaped or converted, never both. Runs of plain bytes are
    // converted in one go.
    std::size_t run = 0;
    for (std::size_t pos = 0; pos < cp1252.size(); ++pos) {
        const char* escape = nullptr;
        switch (cp1252[pos]) {
        case '\\':
            escape = "\\\\";
            break;
        case '\t':
            escape = "\\t";
            break;
        case '\r':
            escape = "\\r";
            break;
        case '\n':
            escape = "\\n";
            break;
        default:
            continue;
        }
        append_utf8(out, cp1252.substr(run, pos - run));
        out.append(escape, 2);
        run = pos + 1;
    }
    append_utf8(out, cp1252.substr(run));
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
    std::size_t start = 0;
    while (start < contents.size()) {
        const std::size_t end = contents.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(contents.substr(start));
            break;
        }
        lines.push_back(contents.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A raw TAB or LF cannot be inside a field once the line is split, so a raw control
// character here is a CR, left over from CR LF line ends.
Text field_problem(std::string_view field) {
    if (field.find('\r') != std::string_view::npos) {
        return cp1252(u8"Wagenrücklauf (CR) im Text. Die Datei hat wohl Windows-Zeilenenden "
                      u8"(CR LF); Zeilen enden hier nur mit LF, ein CR im Text wird \\r "
                      u8"geschrieben.");
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
    if (field.starts_with("\xEF\xBB\xBF")) {
        return cp1252(u8"Die Datei beginnt mit einer Byte-Order-Markierung (BOM); bitte als "
                      u8"UTF-8 ohne BOM speichern.");
    }
    return cp1252(u8"Ein Zeichen, das Windows-1252 nicht darstellen kann, oder kein gültiges "
                  u8"UTF-8.");
}

} // namespace orv
