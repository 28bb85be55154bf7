#include <string>
#include <vector>

#include "AppHarness.h"
#include "translation/DatabaseFile.h"

namespace orv::test {
namespace {

using Scenario = AppHarness;

TEST_F(Scenario, OpenEditSaveAndOpenAgain) {
    files.put_text("prog/Kestrun.ini", "[Window]\r\nWindowWidth = 1024\r\nWindowHeight = 768\r\n"
                                       "[Plugin Path]\r\nPlugPath = /alt/\r\n");
    files.put("prog/data/Weapdata.dat", encode_pair_file({{"Club", "Keule"}}));
    files.put("prog/dataextra/Extradata.dat",
              encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}}));
    files.put(native_path("/daten/Nebelhain.esp"), four_records());
    // Maximised meanwhile: the configuration keeps the size read at start-up.
    start_with_plugin(native_path("/daten/Foo Town.esp"));
    app.handle(ResizeEvent{1600, 1200, false});
    EXPECT_EQ(dialogs.snapshot().file_dialogs.at(0).folder, std::filesystem::path("/alt/"));
    EXPECT_EQ(window.snapshot().status[0], "Datei : Foo Town.esp");
    EXPECT_EQ(rows(kWeaponView), (Rows{"|w2|Dagger|Dagger", "B|w1|Club|Keule"}));
    EXPECT_EQ(rows(kDoorView), Rows{"\xDC|d1|Gate|Tor"});

    rename(kWeaponView, 0, "Dolch");
    EXPECT_FALSE(is_open(WindowId::NameEdit));
    EXPECT_EQ(rows(kWeaponView)[0], "*|w2|Dagger|Dolch");
    // Saving asks from the worker's thread.
    dialogs.next_answer(MessageAnswer::Yes);
    run(command::kSave);
    EXPECT_EQ(dialogs.boxes().at(0).title, "FRAGE");
    EXPECT_EQ(files.get(native_path("/daten/Foo Town.esp")), four_records("Dolch", "Tor", "Keule"));
    // Rebuilt in tab order: doors before weapons.
    EXPECT_EQ(files.get("prog/dataextra/Extradata.dat"),
              encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}, {"Dagger", "Dolch"}}));
    EXPECT_EQ(rows(kWeaponView)[0], "\xDC|w2|Dagger|Dolch");

    // The next plugin picks the user's name up from the external database.
    open(native_path("/daten/Nebelhain.esp"));
    EXPECT_EQ(window.snapshot().status[0], "Datei : Nebelhain.esp");
    EXPECT_EQ(rows(kWeaponView)[0], "\xDC|w2|Dagger|Dolch");
    const auto config = files.get("prog/Kestrun.ini");
    const std::string text(reinterpret_cast<const char*>(config->data()), config->size());
    EXPECT_NE(text.find("WindowWidth = 1024\r\nWindowHeight = 768\r\n"), std::string::npos);
    EXPECT_NE(text.find("PlugPath = " + native_path("/daten/") + "\r\n"), std::string::npos);
    EXPECT_EQ(threads.started, 3);
    EXPECT_TRUE(dialogs.snapshot().answers.empty());
}

TEST_F(Scenario, AsksBeforeUnsavedNamesOrTypedTextAreLost) {
    start_with_plugin();
    // Without rows marked "*" quitting asks only the usual question.
    dialogs.next_answer(MessageAnswer::No);
    menu(command::kQuit);
    EXPECT_EQ(dialogs.boxes().at(0).title, "BEEDEN");

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
    EXPECT_EQ(rows(kWeaponView), rows_before);
    const std::string lost = "2 GE\xC4NDERTE NAMEN (MIT \x84*\x93 MARKIERT) SIND NOCH NICHT "
                             "GESPEICHERT.\rDIESE \xC4NDERUNGEN GEHEN VERLOREN.\r\r";
    const auto question = [&](const std::string& ending) {
        return Box{"ACHTUNG!", lost + ending, MessageButtons::YesNo, MessageIcon::Exclamation};
    };
    auto boxes = dialogs.boxes();
    EXPECT_EQ(std::vector(boxes.begin() + 1, boxes.end()),
              (std::vector{question("TROTZDEM BEENDEN?"), question("TROTZDEM BEENDEN?"),
                           question("TROTZDEM EINE ANDERE DATEI \xD6"
                                    "FFNEN?")}));

    // Yes goes on to the file dialog.
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_path(std::nullopt);
    run(command::kOpen);
    EXPECT_EQ(dialogs.snapshot().file_dialogs.size(), 2u);

    // Text typed into the editor is asked about first: No keeps it and the program.
    menu(kTextTargets[0].menu_command);
    window.user_selects_row(text_editor::kEntryList, 0);
    control(text_editor::kEntryList);
    window.set_control_text(text_editor::kTranslationBox, "Getippt");
    dialogs.next_answer(MessageAnswer::No);
    menu(command::kQuit);
    EXPECT_FALSE(app.quit_requested());
    EXPECT_NE(dialogs.boxes().back().text.find("VERWERFEN"), std::string::npos);
    // Yes to it and to the names quits, without the usual question.
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(command::kQuit);
    EXPECT_TRUE(app.quit_requested());
    boxes = dialogs.boxes();
    EXPECT_EQ(boxes.size(), 8u);
    EXPECT_EQ(boxes.back(), question("TROTZDEM BEENDEN?"));
    EXPECT_TRUE(dialogs.snapshot().answers.empty());
}

} // namespace
} // namespace orv::test
