#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/Files.h"
#include "platform/Result.h"
#include "platform/Text.h"

namespace orv {

// The configuration file lives in the program directory, which is also the current
// directory of the program, so every relative path resolves against the same folder.
inline constexpr std::string_view kConfigFileName = "Kestrun.ini";

// The five settings kept between runs. Window size and bank are only ever read at start-up
// and written back unchanged; the two folders are set by the Open and Save-as commands.
struct Settings {
    // Inner size of the main window in pixels, the base of the window layout.
    std::int32_t window_width = 800;
    std::int32_t window_height = 600;
    // Capacity of the block store: room for the block numbers 0 to bank + 1.
    std::int32_t bank = 50000;
    // Initial folders of the Open and Save-as dialogs (Windows-1252).
    Text plugin_folder = "C:\\";
    Text save_folder = "C:\\";

    bool operator==(const Settings&) const = default;
};

// All five settings from the contents of a configuration file; every missing group or key
// gives that setting's default. Never fails: the file is not validated.
//
// The file is read line by line; a line ends at LF, and a CR right after an LF is skipped.
// A group is the first line starting with "[" whose name (up to "]") equals the group name
// ignoring ASCII letter case; its keys are the lines after it up to the next line starting
// with "[". Integers that do not fit 32 bits are clamped to the nearest 32-bit value.
Settings parse_settings(ByteSpan file);

// The plugin folder read again before the Open dialog. Its default is "c:\" with a
// lower-case drive letter, unlike the start-up default.
Text reread_plugin_folder(ByteSpan file);

// The save folder read again before the Save-as dialog; default "C:\".
Text reread_save_folder(ByteSpan file);

// The complete file as the program writes it: 16 lines, each ended by CR LF.
Bytes render_settings(const Settings& settings);

// The settings from `program_dir`/Kestrun.ini. A file that is missing or cannot be read
// gives all defaults; no file is ever created here.
Settings read_settings(Files& files, const std::filesystem::path& program_dir);
Text reread_plugin_folder(Files& files, const std::filesystem::path& program_dir);
Text reread_save_folder(Files& files, const std::filesystem::path& program_dir);

// Replaces `program_dir`/Kestrun.ini by the rendered settings. On failure the old file is
// left exactly as it was and the error carries the German message.
Result<void> write_settings(Files& files, const std::filesystem::path& program_dir,
                            const Settings& settings);

} // namespace orv
