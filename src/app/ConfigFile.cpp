#include "app/ConfigFile.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "platform/AtomicWrite.h"

namespace orv {

namespace {

// Group and key names; the reader and the writer must use the same ones.
constexpr TextView kWindowGroup = "Window";
constexpr TextView kWidthKey = "WindowWidth";
constexpr TextView kHeightKey = "WindowHeight";
constexpr TextView kBankGroup = "Block size save";
constexpr TextView kBankKey = "Bank";
constexpr TextView kPluginGroup = "Plugin Path";
constexpr TextView kPluginKey = "PlugPath";
constexpr TextView kSaveGroup = "Save Path";
constexpr TextView kSaveKey = "SavePath";

// The Open command's own default when it reads the plugin folder again.
constexpr TextView kRereadPluginDefault = "c:\\";

TextView as_text(ByteSpan file) {
    return {reinterpret_cast<const char*>(file.data()), file.size()};
}

struct Line {
    // Without its LF; a CR before the LF stays part of it.
    TextView text;
    std::size_t next = 0;
};

// The line starting at `start` (which must lie inside the file). A CR directly after the
// LF belongs to the line break too, so files written with LF CR still read well.
Line line_at(TextView file, std::size_t start) {
    const auto end = file.find('\n', start);
    if (end == TextView::npos) {
        return {file.substr(start), file.size()};
    }
    auto next = end + 1;
    if (next < file.size() && file[next] == '\r') {
        ++next;
    }
    return {file.substr(start, end - start), next};
}

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names compare without regard to letter case but with equal length, so a prefix or a
// longer name never matches.
bool equal_ignoring_case(TextView left, TextView right) {
    return left.size() == right.size() &&
           std::equal(left.begin(), left.end(), right.begin(),
                      [](char a, char b) { return lower_ascii(a) == lower_ascii(b); });
}

TextView without_leading_spaces(TextView text) {
    const auto first = text.find_first_not_of(' ');
    return first == TextView::npos ? TextView{} : text.substr(first);
}

TextView without_trailing_spaces(TextView text) {
    const auto last = text.find_last_not_of(' ');
    return last == TextView::npos ? TextView{} : text.substr(0, last + 1);
}

// Where the keys of `group` start: the line after the first group line with that name.
std::optional<std::size_t> find_group(TextView file, TextView group) {
    for (std::size_t position = 0; position < file.size();) {
        const auto line = line_at(file, position);
        position = line.next;
        if (!line.text.starts_with('[')) {
            continue;
        }
        auto name = line.text.substr(1);
        if (const auto close = name.find(']'); close != TextView::npos) {
            name = name.substr(0, close);
        } else if (name.ends_with('\r')) {
            // A group line without "]": the CR of a CR LF line end is not part of the name.
            name.remove_suffix(1);
        }
        if (equal_ignoring_case(name, group)) {
            return position;
        }
    }
    return std::nullopt;
}

// The rest of the key's line from the first non-space after "=", or nothing when the group
// or the key is missing. Keys before the first group line are never reached this way.
std::optional<TextView> find_value(TextView file, TextView group, TextView key) {
    const auto start = find_group(file, group);
    if (!start) {
        return std::nullopt;
    }
    for (auto position = *start; position < file.size();) {
        const auto line = line_at(file, position);
        position = line.next;
        if (line.text.starts_with('[')) {
            return std::nullopt;
        }
        const auto text = without_leading_spaces(line.text);
        if (text.starts_with(';')) {
            continue;
        }
        const auto equals = text.find('=');
        if (equals != TextView::npos &&
            equal_ignoring_case(without_trailing_spaces(text.substr(0, equals)), key)) {
            return without_leading_spaces(text.substr(equals + 1));
        }
    }
    return std::nullopt;
}

// A decimal number with optional sign, up to the first non-digit; 0 without digits.
// Values beyond the 32-bit range are clamped to its nearest end.
std::int32_t to_integer(TextView value) {
    constexpr std::int64_t kMinimum = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMaximum = std::numeric_limits<std::int32_t>::max();
    std::size_t index = 0;
    bool negative = false;
    if (!value.empty() && (value[0] == '+' || value[0] == '-')) {
        negative = value[0] == '-';
        ++index;
    }
    // Capped just past the range, so the accumulation itself can never overflow.
    std::int64_t magnitude = 0;
    for (; index < value.size() && value[index] >= '0' && value[index] <= '9'; ++index) {
        magnitude = std::min(magnitude * 10 + (value[index] - '0'), kMaximum + 1);
    }
    return static_cast<std::int32_t>(
        std::clamp(negative ? -magnitude : magnitude, kMinimum, kMaximum));
}

std::int32_t read_integer(TextView file, TextView group, TextView key, std::int32_t fallback) {
    const auto value = find_value(file, group, key);
    return value ? to_integer(*value) : fallback;
}

// A text value is the rest of its line up to a CR; trailing spaces belong to it, and an
// empty value stays empty rather than falling back to the default.
Text read_text(TextView file, TextView group, TextView key, TextView fallback) {
    const auto value = find_value(file, group, key);
    if (!value) {
        return Text(fallback);
    }
    return Text(value->substr(0, value->find('\r')));
}

std::filesystem::path config_path(const std::filesystem::path& program_dir) {
    return program_dir / kConfigFileName;
}

} // namespace

Settings parse_settings(ByteSpan file) {
    const auto text = as_text(file);
    const Settings defaults;
    return Settings{
        .window_width = read_integer(text, kWindowGroup, kWidthKey, defaults.window_width),
        .window_height = read_integer(text, kWindowGroup, kHeightKey, defaults.window_height),
        .bank = read_integer(text, kBankGroup, kBankKey, defaults.bank),
        .plugin_folder = read_text(text, kPluginGroup, kPluginKey, defaults.plugin_folder),
        .save_folder = read_text(text, kSaveGroup, kSaveKey, defaults.save_folder),
    };
}

Text reread_plugin_folder(ByteSpan file) {
    return read_text(as_text(file), kPluginGroup, kPluginKey, kRereadPluginDefault);
}

Text reread_save_folder(ByteSpan file) {
    return read_text(as_text(file), kSaveGroup, kSaveKey, Settings{}.save_folder);
}

Bytes render_settings(const Settings& settings) {
    Text text;
    const auto line = [&text](TextView content) {
        text += content;
        text += "\r\n";
    };
    const auto key_line = [&line](TextView key, TextView value) {
        line(Text(key) + " = " + Text(value));
    };
    const auto group_line = [&text](TextView group) {
        text += '[';
        text += group;
        text += "]\r\n";
    };
    line(";Plorvane Init file");
    line(";");
    key_line("PreferenceVersion", "1");
    line(";");
    group_line(kBankGroup);
    key_line(kBankKey, std::to_string(settings.bank));
    line(";");
    group_line(kWindowGroup);
    key_line(kWidthKey, std::to_string(settings.window_width));
    key_line(kHeightKey, std::to_string(settings.window_height));
    line(";");
    group_line(kPluginGroup);
    key_line(kPluginKey, settings.plugin_folder);
    line(";");
    group_line(kSaveGroup);
    key_line(kSaveKey, settings.save_folder);

    Bytes bytes(text.size());
    std::transform(text.begin(), text.end(), bytes.begin(),
                   [](char c) { return static_cast<std::byte>(c); });
    return bytes;
}

Settings read_settings(Files& files, const std::filesystem::path& program_dir) {
    const auto file = files.read_all(config_path(program_dir));
    return file ? parse_settings(*file) : parse_settings({});
}

Text reread_plugin_folder(Files& files, const std::filesystem::path& program_dir) {
    const auto file = files.read_all(config_path(program_dir));
    return file ? reread_plugin_folder(*file) : reread_plugin_folder(ByteSpan{});
}

Text reread_save_folder(Files& files, const std::filesystem::path& program_dir) {
    const auto file = files.read_all(config_path(program_dir));
    return file ? reread_save_folder(*file) : reread_save_folder(ByteSpan{});
}

Result<void> write_settings(Files& files, const std::filesystem::path& program_dir,
                            const Settings& settings) {
    return write_file_atomically(files, config_path(program_dir), render_settings(settings));
}

} // namespace orv
