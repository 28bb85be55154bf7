#include "app/ConfigFile.h"

#include <string>

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"

namespace orv {

namespace {

const std::filesystem::path kProgramDir = "prog";
const std::filesystem::path kConfigPath = kProgramDir / kConfigFileName;

using fixtures::bytes_of;

Settings parse(std::string_view text) {
    return parse_settings(bytes_of(text));
}

TEST(ConfigFile, ReadsDefaultsWritesExactLayoutAndReadsItBack) {
    test::MemoryFiles files;
    EXPECT_EQ(reread_plugin_folder(files, kProgramDir), "c:\\");
    EXPECT_EQ(reread_save_folder(files, kProgramDir), "C:\\");

    files.put_text(kConfigPath, "[Block size save]\r\nBank = 7\r\n");
    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_EQ(read_settings(files, kProgramDir), Settings{});
    EXPECT_EQ(read_settings(files, kProgramDir).bank, 7);

    files.put_text(kConfigPath, "old contents that are longer than nothing");
    const Settings settings{.window_width = -5,
                            .window_height = 2147483647,
                            .bank = 0,
                            .plugin_folder = "/home/nutzer/Data Files/",
                            .save_folder = ""};
    const Bytes written = bytes_of(";Plorvane Init file\r\n;\r\nPreferenceVersion = 1\r\n;\r\n"
                                   "[Block size save]\r\nBank = 0\r\n;\r\n[Window]\r\n"
                                   "WindowWidth = -5\r\nWindowHeight = 2147483647\r\n;\r\n"
                                   "[Plugin Path]\r\nPlugPath = /home/nutzer/Data Files/\r\n;\r\n"
                                   "[Save Path]\r\nSavePath = \r\n");
    ASSERT_TRUE(write_settings(files, kProgramDir, settings));
    EXPECT_EQ(files.get(kConfigPath), written);
    EXPECT_EQ(read_settings(files, kProgramDir), settings);
}

TEST(ConfigParser, FindsTextValuesByTheLineRules) {
    const struct {
        const char* name;
        std::string_view file;
        Text plugin;
    } cases[] = {
        {"capitals and no spaces", "[PLUGIN PATH]\r\nplugPATH=D:\\x\\\r\n", "D:\\x\\"},
        {"empty value", "[Plugin Path]\r\nPlugPath =\r\n", ""},
        {"outer spaces", "[Plugin Path]\r\nPlugPath =   a b  \r\n", "a b  "},
        {"spaces around key", "[Plugin Path]\r\n   PlugPath   =x\r\n", "x"},
        {"LF only, no last LF", "[Plugin Path]\nPlugPath = x", "x"},
        {"CR after LF skipped", "[Plugin Path]\n\rPlugPath = x\n\r", "x"},
        {"CR ends the text", "[Plugin Path]\nPlugPath = a\rb\n", "a"},
        {"group without ]", "[Plugin Path\r\nPlugPath = x\r\n", "x"},
        {"indented [ is no group", "[Plugin Path]\r\n [Save Path]=\r\nPlugPath = x\r\n", "x"},
        {"comments skipped", "[Plugin Path]\r\n  ;PlugPath = a\r\nPlugPath = x\r\n", "x"},
        {"first key wins", "[Plugin Path]\r\nPlugPath = x\r\nPlugPath = y\r\n", "x"},
        {"= on its own line", "[Plugin Path]\r\nPlugPath\r\n= a\r\nPlugPath = x\r\n", "x"},
        {"longer key", "[Plugin Path]\r\nPlugPaths = a\r\nPlug Path = b\r\n", "C:\\"},
        {"key after next group", "[Plugin Path]\r\n[Save Path]\r\nPlugPath = a\r\n", "C:\\"},
        {"key in other group", "[Save Path]\r\nPlugPath = a\r\n", "C:\\"},
        {"key before any group", "PlugPath = a\r\n[Plugin Path]\r\n", "C:\\"},
        {"group name prefix", "[Plugin]\r\nPlugPath = a\r\n", "C:\\"},
        {"longer group name", "[Plugin Paths]\r\nPlugPath = a\r\n", "C:\\"},
        {"first group line used", "[Plugin Path]\r\n[Plugin Path]\r\nPlugPath = a\r\n", "C:\\"},
        {"groups in any order", "[Save Path]\r\nSavePath=s\r\n[Plugin Path]\r\nPlugPath=x", "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parse(c.file).plugin_folder, c.plugin);
    }
    EXPECT_EQ(parse("[save path]\r\n SAVEPATH= D:\\s \r\n").save_folder, "D:\\s ");
    EXPECT_EQ(reread_plugin_folder(bytes_of("[Plugin Path]\r\nPlugPath=\r\n")), "");
    EXPECT_EQ(reread_save_folder(bytes_of("[Save Path]\r\nSavePath=s\r\n")), "s");
}

TEST(ConfigParser, ConvertsIntegersLikeDecimalNumbers) {
    const struct {
        std::string_view value;
        std::int32_t bank;
    } cases[] = {// clang-format off
        {"123", 123}, {"-42", -42}, {"+7", 7}, {"007x", 7}, {"12abc", 12}, {"abc", 0}, {"", 0},
        {"- 5", 0}, {"+-1", 0}, {"2147483647", 2147483647}, {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"-2147483649", -2147483647 - 1},
        {"99999999999999999999999", 2147483647}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(parse("[Block size save]\r\nBank = " + std::string(c.value) + "\r\n").bank,
                  c.bank);
    }
    const auto window = parse("[WINDOW]\nwindowheight=1024\nWINDOWWIDTH  =  1280");
    EXPECT_EQ(window, (Settings{.window_width = 1280, .window_height = 1024}));
}

} // namespace
} // namespace orv
