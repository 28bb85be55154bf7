#include <string>
#include <vector>

#include "AppHarness.h"
#include "translation/DatabaseFile.h"
#include "translation/dialogs/TextEditor.h"

namespace orv::test {
namespace {

using fixtures::RecordBuilder;
using Scenario = AppHarness;

std::vector<std::string> lines_of(const std::optional<Bytes>& file) {
    std::vector<std::string> lines;
    if (!file) {
        return lines;
    }
    std::string text;
    for (const std::byte b : *file) {
        text.push_back(static_cast<char>(b));
    }
    for (std::size_t start = 0; start < text.size();) {
        const auto end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

TEST_F(Scenario, OpenEditSaveAndOpenAgain) {
    files.put_text("prog/Kestrun.ini", "[Window]\r\nWindowWidth = 1024\r\nWindowHeight = 768\r\n"
                                       "[Plugin Path]\r\nPlugPath = /alt/\r\n");
    files.put("prog/data/Weapdata.dat", encode_pair_file({{"Club", "Keule"}}));
    files.put("prog/dataextra/Extradata.dat",
              encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}}));
    files.put(native_path("/daten/Foo Town.esp"), three_records());
    files.put(native_path("/daten/Nebelhain.esp"), three_records());
    app.start();
    // Maximised meanwhile: the configuration keeps the size read at start-up.
    app.handle(ResizeEvent{1600, 1200, false});

    open(native_path("/daten/Foo Town.esp"));
    ASSERT_EQ(dialogs.file_dialogs().size(), 1u);
    EXPECT_EQ(dialogs.file_dialogs()[0].folder, std::filesystem::path("/alt/"));
    const auto config = lines_of(files.get("prog/Kestrun.ini"));
    ASSERT_EQ(config.size(), 16u);
    EXPECT_EQ(config[8], "WindowWidth = 1024");
    EXPECT_EQ(config[9], "WindowHeight = 768");
    EXPECT_EQ(config[12], "PlugPath = " + native_path("/daten/"));
    EXPECT_EQ(window.status(0), "Datei : Foo Town.esp");
    EXPECT_EQ(rows(kWeaponView),
              (std::vector<std::string>{"|w2|Dagger|Dagger", "B|w1|Club|Keule"}));
    EXPECT_EQ(rows(kDoorView), (std::vector<std::string>{"\xDC|d1|Gate|Tor"}));
    EXPECT_TRUE(window.menu_enabled(2));

    // A cancelled Open keeps the plugin, its rows and the configuration file.
    const auto config_bytes = files.get("prog/Kestrun.ini");
    dialogs.next_path(std::nullopt);
    run(1);
    EXPECT_EQ(files.get("prog/Kestrun.ini"), config_bytes);
    EXPECT_EQ(window.status(0), "Datei : Foo Town.esp");
    EXPECT_EQ(rows(kWeaponView).size(), 2u);

    window.user_selects_row(kWeaponView, 0);
    control(kWeaponView, ListEventType::DoubleClick);
    ASSERT_TRUE(window.popup(WindowId::NameEdit).has_value());
    window.user_types(1037, "Dolch");
    control(1038);
    EXPECT_FALSE(window.popup(WindowId::NameEdit).has_value());
    EXPECT_EQ(rows(kWeaponView)[0], "*|w2|Dagger|Dolch");

    dialogs.next_answer(MessageAnswer::Yes);
    run(2);
    ASSERT_EQ(dialogs.message_boxes().size(), 1u);
    EXPECT_EQ(dialogs.message_boxes()[0].title, "FRAGE");
    EXPECT_EQ(files.get(native_path("/daten/Foo Town.esp")),
              fixtures::plugin({
                  RecordBuilder("WEAP").text("NAME", "w2").text("FNAM", "Dolch").bytes(),
                  RecordBuilder("DOOR").text("NAME", "d1").text("FNAM", "Tor").bytes(),
                  RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", "Keule").bytes(),
              }));
    // Rebuilt in tab order: doors before weapons.
    EXPECT_EQ(files.get("prog/dataextra/Extradata.dat"),
              encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}, {"Dagger", "Dolch"}}));
    EXPECT_EQ(rows(kWeaponView)[0], "\xDC|w2|Dagger|Dolch");

    // The next plugin picks the user's name up from the external database.
    open(native_path("/daten/Nebelhain.esp"));
    EXPECT_EQ(window.status(0), "Datei : Nebelhain.esp");
    EXPECT_EQ(rows(kWeaponView)[0], "\xDC|w2|Dagger|Dolch");
    EXPECT_EQ(threads.started(), 4);
    EXPECT_EQ(dialogs.unused_answers(), 0u);
}

TEST_F(Scenario, AsksBeforeUnsavedNamesAreLost) {
    files.put("/daten/Foo Town.esp", three_records());
    app.start();
    open("/daten/Foo Town.esp");
    // Without rows marked "*" quitting asks only the usual question.
    dialogs.next_answer(MessageAnswer::No);
    menu(4);
    ASSERT_EQ(dialogs.message_boxes().size(), 1u);
    EXPECT_EQ(dialogs.message_boxes()[0].title, "BEEDEN");

    for (const std::size_t row : {0u, 1u}) {
        window.user_selects_row(kWeaponView, row);
        control(kWeaponView, ListEventType::DoubleClick);
        window.user_types(1037, "Neu " + std::to_string(row));
        control(1038);
    }
    const auto rows_before = rows(kWeaponView);
    // No keeps everything: no quit, no file dialog.
    dialogs.next_answer(MessageAnswer::No);
    menu(4);
    dialogs.next_answer(MessageAnswer::No);
    app.handle(CloseRequestEvent{WindowId::Main});
    dialogs.next_answer(MessageAnswer::No);
    run(1);
    EXPECT_FALSE(app.quit_requested());
    EXPECT_EQ(dialogs.file_dialogs().size(), 1u);
    EXPECT_EQ(rows(kWeaponView), rows_before);
    const auto boxes = dialogs.message_boxes();
    ASSERT_EQ(boxes.size(), 4u);
    const std::string lost = "2 GE\xC4NDERTE NAMEN (MIT \x84*\x93 MARKIERT) SIND NOCH NICHT "
                             "GESPEICHERT.\rDIESE \xC4NDERUNGEN GEHEN VERLOREN.\r\r";
    for (std::size_t box = 1; box < 4; ++box) {
        EXPECT_EQ(boxes[box].title, "ACHTUNG!");
        EXPECT_EQ(boxes[box].buttons, MessageButtons::YesNo);
        EXPECT_EQ(boxes[box].icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(boxes[1].text, lost + "TROTZDEM BEENDEN?");
    EXPECT_EQ(boxes[2].text, lost + "TROTZDEM BEENDEN?");
    EXPECT_EQ(boxes[3].text, lost + "TROTZDEM EINE ANDERE DATEI \xD6"
                                    "FFNEN?");

    // Yes goes on: to the file dialog, and to quitting without a second question.
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_path(std::nullopt);
    run(1);
    EXPECT_EQ(dialogs.file_dialogs().size(), 2u);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(4);
    EXPECT_TRUE(app.quit_requested());
    EXPECT_EQ(dialogs.message_boxes().size(), 6u);
    EXPECT_EQ(dialogs.unused_answers(), 0u);
}

TEST_F(Scenario, QuittingAsksBeforeTextTypedIntoTheEditorIsLost) {
    files.put("/daten/Buch.esp", fixtures::plugin({RecordBuilder("BOOK")
                                                       .text("NAME", "bk")
                                                       .text("FNAM", "Buch")
                                                       .raw("TEXT", "Es war einmal")
                                                       .bytes()}));
    app.start();
    open("/daten/Buch.esp");
    menu(9);
    window.user_selects_row(text_editor::kEntryList, 0);
    control(text_editor::kEntryList);
    window.user_types(text_editor::kTranslationBox, "Getippt");
    // No to the editor's question keeps the text and the program, without the quit question.
    dialogs.next_answer(MessageAnswer::No);
    menu(4);
    EXPECT_FALSE(app.quit_requested());
    ASSERT_EQ(dialogs.message_boxes().size(), 1u);
    EXPECT_NE(dialogs.message_boxes()[0].text.find("VERWERFEN"), std::string::npos);
    // Yes to it goes on to the usual question.
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(4);
    EXPECT_TRUE(app.quit_requested());
    EXPECT_EQ(dialogs.message_boxes().size(), 3u);
}

} // namespace
} // namespace orv::test
