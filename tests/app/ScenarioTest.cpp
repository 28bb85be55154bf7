#include <string>
#include <vector>

#include "AppHarness.h"
#include "translation/DatabaseFile.h"

namespace orv::test {
namespace {

using fixtures::RecordBuilder;
using Scenario = AppHarness;
using Rows = std::vector<std::string>;

Bytes three_records_named(std::string_view w2, std::string_view d1, std::string_view w1) {
    return fixtures::plugin({
        RecordBuilder("WEAP").text("NAME", "w2").text("FNAM", w2).bytes(),
        RecordBuilder("DOOR").text("NAME", "d1").text("FNAM", d1).bytes(),
        RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", w1).bytes(),
    });
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
    EXPECT_EQ(dialogs.file_dialogs().at(0).folder, std::filesystem::path("/alt/"));
    const auto config = files.get("prog/Kestrun.ini");
    const std::string text(reinterpret_cast<const char*>(config->data()), config->size());
    EXPECT_NE(text.find("WindowWidth = 1024\r\nWindowHeight = 768\r\n"), std::string::npos);
    EXPECT_NE(text.find("PlugPath = " + native_path("/daten/") + "\r\n"), std::string::npos);
    EXPECT_EQ(window.snapshot().status_text(0), "Datei : Foo Town.esp");
    EXPECT_EQ(rows(kWeaponView), (Rows{"|w2|Dagger|Dagger", "B|w1|Club|Keule"}));
    EXPECT_EQ(rows(kDoorView), Rows{"\xDC|d1|Gate|Tor"});

    // A cancelled Open keeps the plugin, its rows and the configuration file.
    dialogs.next_path(std::nullopt);
    run(command::kOpen);
    EXPECT_EQ(files.get("prog/Kestrun.ini"), config);
    EXPECT_EQ(window.snapshot().status_text(0), "Datei : Foo Town.esp");
    EXPECT_EQ(rows(kWeaponView).size(), 2u);

    rename(kWeaponView, 0, "Dolch");
    EXPECT_FALSE(is_open(WindowId::NameEdit));
    EXPECT_EQ(rows(kWeaponView)[0], "*|w2|Dagger|Dolch");

    dialogs.next_answer(MessageAnswer::Yes);
    run(command::kSave);
    EXPECT_EQ(dialogs.message_boxes().at(0).title, "FRAGE");
    EXPECT_EQ(files.get(native_path("/daten/Foo Town.esp")),
              three_records_named("Dolch", "Tor", "Keule"));
    // Rebuilt in tab order: doors before weapons.
    EXPECT_EQ(files.get("prog/dataextra/Extradata.dat"),
              encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}, {"Dagger", "Dolch"}}));
    EXPECT_EQ(rows(kWeaponView)[0], "\xDC|w2|Dagger|Dolch");

    // The next plugin picks the user's name up from the external database.
    open(native_path("/daten/Nebelhain.esp"));
    EXPECT_EQ(window.snapshot().status_text(0), "Datei : Nebelhain.esp");
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
    menu(command::kQuit);
    EXPECT_EQ(dialogs.message_boxes().at(0).title, "BEEDEN");

    rename(kWeaponView, 0, "Neu 0");
    rename(kWeaponView, 1, "Neu 1");
    const auto rows_before = rows(kWeaponView);
    // No keeps everything: no quit, no file dialog.
    for (int ask = 0; ask < 3; ++ask) {
        dialogs.next_answer(MessageAnswer::No);
    }
    menu(command::kQuit);
    app.handle(CloseRequestEvent{WindowId::Main});
    run(command::kOpen);
    EXPECT_FALSE(app.quit_requested());
    EXPECT_EQ(dialogs.file_dialogs().size(), 1u);
    EXPECT_EQ(rows(kWeaponView), rows_before);
    const std::string lost = "2 GE\xC4NDERTE NAMEN (MIT \x84*\x93 MARKIERT) SIND NOCH NICHT "
                             "GESPEICHERT.\rDIESE \xC4NDERUNGEN GEHEN VERLOREN.\r\r";
    const auto question = [&](const std::string& ending) {
        return Box{"ACHTUNG!", lost + ending, MessageButtons::YesNo, MessageIcon::Exclamation};
    };
    const auto boxes = dialogs.message_boxes();
    EXPECT_EQ(std::vector<Box>(boxes.begin() + 1, boxes.end()),
              (std::vector<Box>{question("TROTZDEM BEENDEN?"), question("TROTZDEM BEENDEN?"),
                                question("TROTZDEM EINE ANDERE DATEI \xD6"
                                         "FFNEN?")}));

    // Yes goes on: to the file dialog, and to quitting without a second question.
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_path(std::nullopt);
    run(command::kOpen);
    EXPECT_EQ(dialogs.file_dialogs().size(), 2u);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(command::kQuit);
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
    menu(kTextTargets[0].menu_command);
    window.user_selects_row(text_editor::kEntryList, 0);
    control(text_editor::kEntryList);
    window.user_types(text_editor::kTranslationBox, "Getippt");
    // No to the editor's question keeps the text and the program, without the quit question.
    dialogs.next_answer(MessageAnswer::No);
    menu(command::kQuit);
    EXPECT_FALSE(app.quit_requested());
    ASSERT_EQ(dialogs.message_boxes().size(), 1u);
    EXPECT_NE(dialogs.message_boxes()[0].text.find("VERWERFEN"), std::string::npos);
    // Yes to it goes on to the usual question.
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(command::kQuit);
    EXPECT_TRUE(app.quit_requested());
    EXPECT_EQ(dialogs.message_boxes().size(), 3u);
}

} // namespace
} // namespace orv::test
