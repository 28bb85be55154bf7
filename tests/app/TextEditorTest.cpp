#include "app/TextEditor.h"
#include "app/EditorEntries.h"

#include <gtest/gtest.h>

#include "AppHarness.h"
#include "ScriptRecords.h"
#include "app/Refusal.h"
#include "app/UnsavedWork.h"
#include "translation/NameEdit.h"
#include "translation/ResponseScriptTexts.h"
#include "translation/Responses.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

using test::book;
using test::DialogTest;
using test::info;
using test::topic;
using namespace text_editor;

const EditorKind& kBooks = kEditorKinds[0];
const EditorKind& kSkills = kEditorKinds[3];
const EditorKind& kDialog = kEditorKinds[5];
const EditorKind& kScripts = kEditorKinds[7];
constexpr int kBookList = 6;
const Text kRecordText = "Es war einmal\r\nein Buch.";

// An entry as "mark|key|original|current|to do".
std::vector<std::string> shown(const EditorEntries& entries) {
    std::vector<std::string> lines;
    for (const auto& e : entries.entries()) {
        lines.push_back(e.mark.text() + "|" + e.key + "|" + e.original + "|" + e.current + "|" +
                        (e.to_do ? "to do" : "done"));
    }
    return lines;
}

class EditorEntriesTest : public DialogTest {
protected:
    // Books, responses, journal entries, scripts and skills; the databases translate some of
    // them. A script whose source has a line its code lacks offers no texts.
    void load_all() {
        files.put(
            "prog/data/Skildata.dat",
            encode_triple_file({{"Block", "Block", "Blocken"}, {"Armorer", "Armorer", "Schmied"}}));
        files.put("prog/data/Txtbookdata.dat",
                  encode_triple_file({{"bk_known", "Old", "Alt"},
                                      {"bk_german", "", "Schon deutsch"},
                                      {"bk_empty_db", "Plain", ""}}));
        files.put("prog/data/Txtinfodata.dat",
                  encode_triple_file(
                      {{"r_known", "Hello there", "Hallo du"}, {"r_german", "", "Schon da"}}));
        load({book("bk_known", "Old"), book("bk_german", "Schon deutsch"), book("bk_none", {}),
              book("bk_empty", ""), book("bk_empty_db", "Plain"), topic("Greeting", '\x03'),
              info("r_known", "Hello there"), info("r_plain", "Go away\r\nnow."),
              info("r_german", "Schon da"), topic("quest_a", '\x04'),
              info("q_title", "The Missing Ring"),
              test::message_box_script("demo_script", "%g Pfeile", "Ja"),
              test::message_box_script("broken_script", "Kaputt", "Ja",
                                       "MessageBox \"Nie kompiliert\"\r\n"),
              fixtures::RecordBuilder("SKIL").u32("INDX", 1).raw("DESC", "Repairs").bytes(),
              fixtures::RecordBuilder("SKIL").u32("INDX", 0).raw("DESC", "Blocks").bytes()});
    }
    TripleFile database(const char* name) {
        TranslationDatabase database(files, workspace.program_dir);
        return database.data_triples(name);
    }
};

TEST_F(EditorEntriesTest, MarksAndWhatIsStillToDoFollowEachKindsRecords) {
    load_all();
    // Long texts are listed in file order, whatever the list's order.
    workspace.lists.sort_by_column(kBookList, Column::Id);
    ASSERT_EQ(workspace.lists.list(kBookList).elements.at(0).id, "bk_empty");
    // A long text is done once its record holds the database's German text or a stored one; a
    // database translation not yet stored leaves it to do. A text-less or empty record is
    // never to do.
    EXPECT_EQ(shown(EditorEntries(kBooks, workspace, database("Txtbookdata.dat"))),
              (std::vector<std::string>{
                  "|bk_known|Old|Old|to do", "\xDC|bk_german|Schon deutsch|Schon deutsch|done",
                  "|bk_none|||done", "|bk_empty|||done", "|bk_empty_db|Plain|Plain|to do"}));
    // Responses carry the marks the loader gave them; only unmarked ones are to do. The
    // journal entry is the Journal editor's (the check window's test opens it there).
    EXPECT_EQ(shown(EditorEntries(kDialog, workspace, database("Txtinfodata.dat"))),
              (std::vector<std::string>{"B|Greeting|Hello there|Hallo du|done",
                                        "|Greeting|Go away\r\nnow.|Go away\r\nnow.|to do",
                                        "\xDC|Greeting|Schon da|Schon da|done"}));
    // Skills are listed in file order as well.
    EXPECT_EQ(
        shown(EditorEntries(kSkills, workspace, {})),
        (std::vector<std::string>{"|Armorer|Repairs|Repairs|to do", "|Block|Blocks|Blocks|to do"}));
    // A script gives one entry per message text and button.
    EXPECT_EQ(
        shown(EditorEntries(kScripts, workspace, {})),
        (std::vector<std::string>{"|demo_script#1|%g Pfeile|%g Pfeile|to do",
                                  "|demo_script#2|Ja|Ja|to do", "|demo_script#3|Nein|Nein|to do"}));
    // Counted as names are: of the entries with a text, those not still to do. The count is
    // the same for every kind; the books have both kinds of entry without a text (the text
    // editor's tests see the other kinds' counts in the status bar).
    const auto counts = EditorEntries(kBooks, workspace, database("Txtbookdata.dat")).count();
    EXPECT_EQ(counts.translated, 1u);
    EXPECT_EQ(counts.named, 3u);
    // How a stored text is marked and offered, the text editor's tests check as they store.
}

// A text the memory filled in at Open is done and offered as the translation; without the
// memory the same German text is still to do. Each kind asks the memory of its own kind; of a
// script, only the string the memory holds is done, not the script's others.
TEST_F(EditorEntriesTest, ATextTheMemoryFilledInIsDoneAndOffered) {
    const auto birthsign = [](std::string_view id, std::string_view text) {
        return fixtures::RecordBuilder("BSGN").text("NAME", id).raw("DESC", text).bytes();
    };
    const struct {
        const EditorKind* kind;
        int memory_kind;
        Bytes learned;
        Bytes other;
        std::string key; // of the learned text
    } cases[] = {
        {&kBooks, kFirstTextMemory, book("bk", "Plain"), book("bk_other", "Other"), "bk"},
        // The last long-text kind.
        {&kEditorKinds[4], kFirstTextMemory + 4, birthsign("bs", "Plain"),
         birthsign("bs_other", "Other"), "bs"},
        {&kScripts, kCompiledScriptMemory, test::message_box_script("sc", "Schlicht", "Ja"),
         test::message_box_script("sc_other", "Other", "Ja"), "sc#1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind->label);
        files.put(memory_path("prog"),
                  encode_memory({{c.memory_kind, "Plain", "Schlicht", "2024-01-01", "de.esp"}}));
        load({c.learned, c.other});
        TranslationDatabase database(files, workspace.program_dir);
        const EditorEntries entries(*c.kind, workspace, {}, database.memory());
        EXPECT_EQ(shown(entries)[0], "\xDC|" + c.key + "|Schlicht|Schlicht|done");
        EXPECT_EQ(entries.count().translated, 1u);
        EXPECT_EQ(entries.offered_translation(entries[0]), "Schlicht");
        EXPECT_EQ(shown(EditorEntries(*c.kind, workspace, {}))[0],
                  "|" + c.key + "|Schlicht|Schlicht|to do");
    }
}

TEST_F(EditorEntriesTest, TheFilterKeepsKeysAndTextsAndTheNextToDoIsAKeptOne) {
    load_all();
    const EditorEntries dialog(kDialog, workspace, database("Txtinfodata.dat"));
    const struct {
        const char* query;
        bool only_to_do;
        std::vector<std::size_t> visible;
        // The next entry to do after entry 0.
        std::optional<std::size_t> next;
    } cases[] = {
        {"", false, {0, 1, 2}, 1},
        {"", true, {1}, 1},
        // Key, original or current text, the case of ASCII letters and umlauts ignored.
        {"GREET", false, {0, 1, 2}, 1},
        {"hallo", false, {0}, std::nullopt},
        {"HELLO", false, {0}, std::nullopt},
        {"away\r\nNOW", false, {1}, 1},
        {"\xDC", false, {}, std::nullopt},
        {"schon", true, {}, std::nullopt},
        {"x", false, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        const EntryFilter filter{c.query, c.only_to_do};
        EXPECT_EQ(dialog.visible(filter), c.visible);
        EXPECT_EQ(dialog.next_to_do(filter, 0), c.next);
    }
    // Only entries after the given one count: the last one has none after it.
    EXPECT_EQ(dialog.next_to_do({}, 1), std::nullopt);
}

TEST(TextBeginning, IsOneLineCutAtItsLength) {
    const struct {
        Text text;
        std::size_t length;
        Text line;
    } cases[] = {
        {"", 5, ""},
        {"Genau", 5, "Genau"},
        {"Genau!", 5, "Genau..."},
        {"Eins\r\nZwei", 20, "Eins Zwei"},
        {"Eins\rZwei\nDrei", 20, "Eins Zwei Drei"},
        // A line break at the cut still counts as text beyond it.
        {"Vier\r\n", 4, "Vier..."},
        {"Vier\r\n", 5, "Vier "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(text_beginning(c.text, c.length), c.line);
    }
}

// Books in list order; each names its TEXT subrecord, if any.
enum BookRow : std::size_t { kAlpha, kPlain, kNoText, kOnlyDatabase, kShort, kTiny };

class TextEditorTest : public DialogTest {
protected:
    void load_books(std::int32_t file_type = 0) {
        files.put("prog/data/Txtbookdata.dat",
                  encode_triple_file({{"BK_ALPHA", "", "Falsche Schreibung"},
                                      {"bk_alpha", "", "Erste"},
                                      {"bk_alpha", "", "Zweite"},
                                      {"bk_only_db", "", "Nur Datenbank"},
                                      {"bk_short", "", "C"},
                                      {"bk_tiny", "", "Lang genug"}}));
        load({book("bk_alpha", kRecordText), book("bk_plain", "Plain text"),
              book("bk_none", std::nullopt), book("bk_only_db", std::nullopt),
              book("bk_short", "Ab"), book("bk_tiny", "T")},
             file_type);
    }
    void select(std::size_t row) {
        window.user_selects_row(kEntryList, row);
        editor.on_control({kEntryList});
    }
    Text response_text(std::size_t response) const {
        return current_response_text(workspace.store, workspace.lists.responses().at(response));
    }
    const Block& book_block(std::size_t row) const {
        const auto number = workspace.lists.list(kBookList).elements.at(row).block;
        return workspace.store.block(static_cast<std::size_t>(number));
    }
    // The entry list's marks, "." for none.
    std::string marks() const {
        std::string shown;
        for (const auto& row : control(kEntryList).rows) {
            shown += row.at(0).empty() ? "." : row.at(0);
        }
        return shown;
    }
    // (SPEICHERN, KOPIEREN) enabled.
    std::pair<bool, bool> buttons() const {
        return {control(kSaveButton).enabled, control(kCopyButton).enabled};
    }
    // "original|translation" as the boxes show them.
    Text texts() const { return text_of(kOriginalBox) + "|" + text_of(kTranslationBox); }
    // Typing into the translation box; SPEICHERN as a call, after typing.
    void type(const Text& text) {
        window.set_control_text(kTranslationBox, text);
        editor.on_control({kTranslationBox});
    }
    bool save(const Text& text) {
        window.set_control_text(kTranslationBox, text);
        return editor.save();
    }

    int stored = 0; // calls of the editor's counts_changed
    TextEditor editor{workspace, window, dialogs, files, [this] { ++stored; }};
};

TEST_F(TextEditorTest, RefusesMasterFilesUnreadableDatabasesAndASecondPopup) {
    load_books(1);
    editor.open(kBooks);
    load_books();
    files.fail_operation(1, test::FileOperation::Read);
    editor.open(kBooks);
    // While another pop-up is open nothing happens.
    workspace.dialog_open = 1;
    editor.open(kBooks);
    EXPECT_FALSE(is_open(WindowId::TextEditor));
    const auto unreadable = file_error(ErrorKind::ReadFailed,
                                       std::filesystem::path("prog") / "data" / "Txtbookdata.dat");
    EXPECT_EQ(dialogs.boxes(), (std::vector{test::stop_box(master_file_edit_message()),
                                            test::stop_box(unreadable.message)}));
}

TEST_F(TextEditorTest, OpensCentredAndClosesLeavingTheListsAsTheyWere) {
    load_books();
    window.set_main_window_rect({101, 51, 817, 641});
    editor.open(kBooks);
    const auto s = window.snapshot();
    EXPECT_EQ(s.popups.at(WindowId::TextEditor),
              std::pair(Text("Book (4)"), Rect{59, 61, 900, 620}));
    EXPECT_TRUE(command_menu_is(false));
    // No entry is chosen yet: nothing to store or copy.
    EXPECT_EQ(buttons(), std::pair(false, false));
    select(kPlain);
    save("Einfach");
    editor.close();
    EXPECT_EQ(window.snapshot().activations, 1);
    EXPECT_TRUE(command_menu_is(true));
    // A closed editor ignores its controls (the scripted window fails on a missing one).
    editor.entry_selected();
    EXPECT_FALSE(editor.save());
    editor.copy();
    editor.close();

    // Opened again, no entry is chosen: SPEICHERN has no record to change.
    editor.open(kBooks);
    EXPECT_FALSE(save("Neu"));
    EXPECT_EQ(book_block(kPlain), book("bk_plain", "Einfach"));
}

// The editors lay out their lists, boxes, fields and buttons side by side, inside the
// pop-up, with or without the responses' rows of script texts.
TEST_F(TextEditorTest, NoControlCoversAnother) {
    load({book("bk", "Text"), topic("Greeting"), info("r_choice", "Well?", "Choice \"Yes\" 1")});
    for (const EditorKind* kind : {&kBooks, &kDialog}) {
        editor.open(*kind);
        EXPECT_EQ(test::misplaced_controls(window.snapshot(), WindowId::TextEditor), test::Rows{})
            << kind->label;
        editor.close();
    }
}

TEST_F(TextEditorTest, ButtonsFollowTheTextLengths) {
    const struct {
        const char* name;
        std::size_t row;
        Text original;
        Text translation;
        // (SPEICHERN, KOPIEREN) as an earlier entry left them, and as the entry leaves them.
        std::pair<bool, bool> before;
        std::pair<bool, bool> after;
    } cases[] = {
        // clang-format off
        {"both long, first database match", kAlpha, kRecordText, "Erste", {false, true}, {true, false}},
        {"no translation", kPlain, "Plain text", "", {true, false}, {false, true}},
        {"no texts", kNoText, "", "", {true, true}, {false, false}},
        {"translation only", kOnlyDatabase, "", "Nur Datenbank", {true, false}, {true, false}},
        {"translation only", kOnlyDatabase, "", "Nur Datenbank", {false, true}, {false, true}},
        {"one-byte translation", kShort, "Ab", "C", {false, false}, {false, false}},
        {"one-byte original", kTiny, "T", "Lang genug", {false, true}, {false, true}},
        // clang-format on
    };
    load_books();
    // A row numbering the block just past the store's last (the editor's rows must never lead
    // outside the store).
    workspace.lists.append(kBookList, {mark::kNone, "bk_gone", "", "", 7});
    editor.open(kBooks);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.set_control_enabled(kSaveButton, c.before.first);
        window.set_control_enabled(kCopyButton, c.before.second);
        select(c.row);
        EXPECT_EQ(text_of(kOriginalBox), c.original);
        EXPECT_EQ(text_of(kTranslationBox), c.translation);
        EXPECT_EQ(buttons(), c.after);
    }
    // A click beside the rows changes nothing.
    window.user_selects_row(kEntryList, std::nullopt);
    editor.entry_selected();
    EXPECT_EQ(text_of(kOriginalBox), "T");
    // The row without a record shows nothing and stores nothing.
    select(6);
    EXPECT_EQ(texts(), "|");
    EXPECT_FALSE(save("y"));
}

TEST_F(TextEditorTest, SaveReplacesTheWholeTextMovesOnAndAsksBeforeTypedTextIsLost) {
    load_books();
    editor.open(kBooks);
    select(kAlpha);
    // The subrecord's, the record's and the block's sizes follow the shorter text. (The next
    // entry still to do is then chosen as for every kind; the dialog entries' test checks it.)
    editor.save();
    EXPECT_EQ(book_block(kAlpha), book("bk_alpha", "Erste"));

    // A further edit replaces the whole data again; line breaks are stored as the box
    // gives them. Stored, copied or shown from the database: nothing is lost, nothing asked
    // (the boxes checked below are all there are).
    select(kAlpha);
    const Text edited = cp1252(u8"Zeile eins\r\nZeile zwei, länger als vorher");
    save(edited);
    select(kPlain);
    editor.copy();
    EXPECT_EQ(text_of(kTranslationBox), "Plain text");
    EXPECT_EQ(buttons(), std::pair(true, false));
    // Chosen again, the entry shows the text the record had when the plugin was opened as
    // its original, and the stored text as the translation to go on with.
    select(kShort);
    select(kAlpha);
    EXPECT_EQ(texts(), kRecordText + "|" + edited);

    // Nothing to store: an empty box, a text Windows-1252 cannot hold.
    EXPECT_FALSE(save(""));
    window.user_types_foreign_text(kTranslationBox);
    EXPECT_FALSE(editor.save());

    // Typed, not stored: No keeps the entry and the text, for another entry and for closing.
    window.set_control_text(kTranslationBox, "Neu getippt");
    dialogs.next_answer(MessageAnswer::No);
    select(kPlain);
    dialogs.next_answer(MessageAnswer::No);
    editor.close();
    EXPECT_TRUE(is_open(WindowId::TextEditor));
    EXPECT_EQ(control(kEntryList).selected, kAlpha);
    EXPECT_EQ(text_of(kTranslationBox), "Neu getippt");
    const test::Box asked{"ACHTUNG!",
                          cp1252(u8"DIE ÜBERSETZUNG IM TEXTFELD WURDE NICHT MIT 'SPEICHERN' "
                                 u8"ÜBERNOMMEN.\rSIE GEHT VERLOREN.\r\rTROTZDEM VERWERFEN?"),
                          MessageButtons::YesNoDefaultNo, MessageIcon::Exclamation};
    EXPECT_EQ(dialogs.boxes(), std::vector({test::stop_box(foreign_text_message()), asked, asked}));
    // Yes discards it.
    dialogs.next_answer(MessageAnswer::Yes);
    select(kOnlyDatabase);
    editor.close();
    EXPECT_FALSE(is_open(WindowId::TextEditor));
    EXPECT_EQ(book_block(kAlpha), book("bk_alpha", edited));
}

TEST_F(TextEditorTest, TypedTextCanBeStoredAndStoredEntriesStayMarkedUntilSaved) {
    load_books();
    editor.open(kBooks);
    // No translation yet: typing alone makes SPEICHERN available, emptying the box takes it
    // away again.
    select(kPlain);
    type("Getippt");
    EXPECT_EQ(buttons(), std::pair(true, true));
    type("");
    EXPECT_FALSE(buttons().first);
    type("Getippt");
    // KOPIEREN would replace the typed text: No keeps it.
    dialogs.next_answer(MessageAnswer::No);
    editor.copy();
    EXPECT_EQ(text_of(kTranslationBox), "Getippt");
    EXPECT_EQ(dialogs.boxes().size(), 1u);

    EXPECT_TRUE(editor.save());
    EXPECT_EQ(marks(), ".*....");
    // The same text again changes no record.
    select(kPlain);
    EXPECT_EQ(text_of(kTranslationBox), "Getippt");
    EXPECT_FALSE(editor.save());
    // An entry whose record has no text to replace offers no SPEICHERN, typed or not, and
    // KOPIEREN without an original does nothing.
    select(kNoText);
    type("Ohne Text");
    EXPECT_EQ(buttons(), std::pair(false, false));
    EXPECT_FALSE(editor.save());
    editor.copy();
    EXPECT_EQ(text_of(kTranslationBox), "Ohne Text");

    // The mark outlives the editor until a save wrote the text; then it is translated ("Ü").
    dialogs.next_answer(MessageAnswer::Yes);
    editor.close();
    editor.open(kBooks);
    EXPECT_EQ(marks(), ".*....");
    EXPECT_EQ(workspace.stored_texts.unsaved_count(), 1u);
    editor.close();
    workspace.stored_texts.saved();
    editor.open(kBooks);
    EXPECT_EQ(marks(), ".\xDC....");
}

// The window contract sees the filter field, Ctrl+Enter, the marks and the counts of the
// responses' editor follow; here what it does not see.
TEST_F(TextEditorTest, DialogEntriesAreFilteredAndCtrlEnterStoresAndMovesOn) {
    files.put("prog/data/Txtinfodata.dat",
              encode_triple_file({{"r_known", "Hello there", "Hallo du"}}));
    load({topic("Greeting"), info("r_known", "Hello there"), info("r_one", "Go away"),
          info("r_two", "Come back"), topic("quest_a", '\x04'), info("q_one", "A ring")});
    editor.open(kDialog);
    // The title counts the entries still to do, the status bar the translated ones.
    EXPECT_EQ(window.snapshot().popups.at(WindowId::TextEditor).first, "Dialog (2)");
    EXPECT_EQ(window.snapshot().status.at(1), cp1252(u8"übersetzt 1 von 3"));
    window.set_control_checked(kOnlyToDoBox, true);
    editor.on_control({kOnlyToDoBox});
    EXPECT_EQ(control(kEntryList).visible, (std::vector<std::size_t>{1, 2}));
    // Typed into the filter field, a query narrows the entries at once.
    window.set_control_text(kEntryFilterField, "BACK");
    editor.on_control({kEntryFilterField});
    EXPECT_EQ(control(kEntryList).visible, (std::vector<std::size_t>{2}));
    window.set_control_text(kEntryFilterField, "");
    editor.on_control({kEntryFilterField});

    // A typed change stores nothing; Ctrl+Enter stores, is unsaved work, hides the entry as
    // done and chooses the next one still to do.
    select(1);
    type("Geh weg");
    EXPECT_EQ(stored, 0);
    editor.on_control({kTranslationBox, ListEventType::StoreKey});
    EXPECT_EQ(response_text(1), "Geh weg");
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(unsaved_work(workspace.lists, workspace.stored_texts).texts, 1u);
    EXPECT_EQ(control(kEntryList).visible, (std::vector<std::size_t>{2}));
    EXPECT_EQ(control(kEntryList).selected, std::optional<std::size_t>(2));
    EXPECT_EQ(texts(), "Come back|");
    EXPECT_EQ(window.snapshot().popups.at(WindowId::TextEditor).first, "Dialog (1)");
    EXPECT_EQ(window.snapshot().status.at(1), cp1252(u8"übersetzt 2 von 3"));
    // Chosen again, the stored response offers its text to go on with.
    select(1);
    EXPECT_EQ(texts(), "Go away|Geh weg");
    // Closed, it has the main window show its own counts again.
    editor.close();
    EXPECT_EQ(stored, 2);
    EXPECT_TRUE(dialogs.boxes().empty());
}

// The line under the translation is shown with the entry, so that the names to keep are
// known before typing (the dialogue rules' own tests own what is missing; the window contract
// sees it follow the typing).
TEST_F(TextEditorTest, DialogEditorNamesWhatATranslationLacksBeforeTyping) {
    load({book("bk_greeting", "A greeting to you, %PCName."), topic("Greeting"),
          info("r_hello", "A greeting to you, %PCName.")});
    workspace.lists.set_mark_and_dv_name(kTopicType, 0, mark::kEdited, "Gruss");
    editor.open(kDialog);
    select(0);
    EXPECT_EQ(text_of(kMissingNamesLine), "Fehlende Themen: Gruss; Fehlende Platzhalter: %PCName");
    type("Ein Gruss an dich, %PCName.");
    EXPECT_EQ(text_of(kMissingNamesLine), "");
    // The long texts have no such line, though a book may name a topic too.
    dialogs.next_answer(MessageAnswer::Yes);
    editor.close();
    editor.open(kBooks);
    select(0);
    type("Ohne alles");
    EXPECT_EQ(text_of(kMissingNamesLine), "");
}

// The text suggestions' own tests own the order and the shares; the window contract sees
// Alt+1 take one.
TEST_F(TextEditorTest, DialogEditorSuggestsWholeResponsesAndAltKeysTakeThem) {
    files.put("prog/data/Txtinfodata.dat",
              encode_triple_file({{"r_other", "Go away", "Verschwinde"}}));
    files.put_text("prog/dataextra/Memory.tsv", "Dialog\tGo away now\tGeh jetzt weg\t2024-01-01\n"
                                                "Journal\tGo away\tAus dem Journal\t2024-01-01\n");
    load({topic("Greeting"), info("r_go", "Go away")});
    editor.open(kDialog);
    select(0);
    // The text database and the memory of the kind (the journal's lines serve only the
    // Journal editor) each say their name.
    const Text memory = cp1252(u8"Gedächtnis");
    EXPECT_EQ(control(kSuggestionList).rows,
              (std::vector<ListRow>{{"Verschwinde", "Txtinfodata.dat", "exakt"},
                                    {"Geh jetzt weg", memory, cp1252(u8"ähnlich 80 %")}}));

    // Alt+2 takes the second, not stored yet; another one would replace it: asked first, No
    // keeps it; a key without a suggestion does nothing; Yes replaces it.
    editor.on_control({kSuggestionList, ListEventType::PickKey, 1});
    EXPECT_EQ(text_of(kTranslationBox), "Geh jetzt weg");
    EXPECT_EQ(response_text(0), "Go away");
    dialogs.next_answer(MessageAnswer::No);
    window.user_selects_row(kSuggestionList, 0);
    editor.on_control({kSuggestionList, ListEventType::DoubleClick});
    editor.on_control({kSuggestionList, ListEventType::PickKey, 4});
    EXPECT_EQ(text_of(kTranslationBox), "Geh jetzt weg");
    EXPECT_EQ(dialogs.boxes().size(), 1u);
    dialogs.next_answer(MessageAnswer::Yes);
    editor.on_control({kSuggestionList, ListEventType::DoubleClick});
    EXPECT_EQ(text_of(kTranslationBox), "Verschwinde");
}

TEST_F(TextEditorTest, AResponsesScriptTextsAreEditedBesideTheirOriginalsAndStoredWithIt) {
    const std::string many = "MessageBox \"Pick\" \"B1\" \"B2\" \"B3\" \"B4\" \"B5\" \"B6\"";
    load({topic("Greeting"), info("r_choice", "Well?", "Choice \"Yes\" 1 \"No\" 2\r\nSet x to 1"),
          info("r_many", "Pick one", many), info("r_plain", "Hi")});
    editor.open(kDialog);
    const auto rows = [&] {
        std::vector<std::string> shown;
        for (int row = 0; row < kScriptTextRows; ++row) {
            const auto& original = control(kFirstScriptOriginal + row);
            const auto& translation = control(kFirstScriptTranslation + row);
            shown.push_back(original.definition.text + "|" + translation.definition.text +
                            (translation.enabled ? "" : " off"));
        }
        return shown;
    };
    const auto script_of = [&](std::size_t response) {
        return current_response_script(workspace.store, workspace.lists.responses().at(response));
    };
    select(0);
    EXPECT_EQ(text_of(kScriptTextsLabel),
              cp1252(u8"Texte im Ergebnisskript (Original, Übersetzung) :"));
    EXPECT_EQ(rows(), (std::vector<std::string>{"Yes|Yes", "No|No", "| off", "| off", "| off"}));

    // A quotation mark cannot stand in a script: refused, and nothing is stored.
    window.set_control_text(kTranslationBox, "Nun?");
    window.set_control_text(kFirstScriptTranslation, "\"Ja\"");
    editor.on_control({kSaveButton});
    EXPECT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(response_text(0), "Well?");
    // A typed script text alone is unsaved typing: leaving the entry asks.
    window.set_control_text(kTranslationBox, "Well?");
    window.set_control_text(kFirstScriptTranslation, "Ja");
    dialogs.next_answer(MessageAnswer::No);
    select(2);
    EXPECT_EQ(dialogs.boxes().size(), 2u);
    EXPECT_EQ(text_of(kOriginalBox), "Well?");

    // Stored with the response: only the string changes, and the response is marked even
    // though its own text stayed.
    editor.on_control({kSaveButton});
    EXPECT_EQ(script_of(0), "Choice \"Ja\" 1 \"No\" 2\r\nSet x to 1");
    EXPECT_EQ(workspace.lists.responses().at(0).mark, mark::kEdited);

    // The rows show the first five of seven texts, and say so; a response without a script
    // has none.
    select(1);
    EXPECT_EQ(text_of(kScriptTextsLabel), "Texte im Ergebnisskript (die ersten 5 von 7) :");
    EXPECT_EQ(rows(), (std::vector<std::string>{"Pick|Pick", "B1|B1", "B2|B2", "B3|B3", "B4|B4"}));
    window.set_control_text(kTranslationBox, "Nimm einen");
    window.set_control_text(kFirstScriptTranslation + 4, "K4");
    editor.on_control({kSaveButton});
    EXPECT_EQ(script_of(1), "MessageBox \"Pick\" \"B1\" \"B2\" \"B3\" \"K4\" \"B5\" \"B6\"");
    select(2);
    EXPECT_EQ(text_of(kScriptTextsLabel), "");
    EXPECT_EQ(rows()[0], "| off");
}

TEST_F(TextEditorTest, ScriptTextsAreStoredIntoSourceAndCodeOrRefusedWithTheReason) {
    const auto script = [](std::string_view message, std::string_view yes) {
        return test::message_box_script("demo_script", message, yes);
    };
    load({script("%g Pfeile", "Ja")});
    // Learned after the plugin was opened, so Open did not fill it in.
    files.put_text("prog/dataextra/Memory.tsv", "Script\t%g Pfeile\t%g Pfeile im K\xc3\xb6"
                                                "cher\t2024-01-01\n");
    // The entries, one per text, and their counts are the editor entries' test's; the rows
    // and the title show them as for any kind.
    editor.open(kScripts);
    EXPECT_EQ(control(kEntryList).definition.columns,
              (std::vector<ListColumn>{{"F", 20}, {"Script-ID#Nr", 130}, {"Text", 220}}));
    select(0);
    const Text quiver = cp1252(u8"%g Pfeile im Köcher");
    EXPECT_EQ(control(kSuggestionList).rows,
              (std::vector<ListRow>{{quiver, cp1252(u8"Gedächtnis"), "exakt"}}));

    // What the script cannot hold is refused in a box with the reason (the script record's
    // tests own the reasons); the record stays as it was.
    EXPECT_FALSE(save("Pfeile"));
    EXPECT_EQ(dialogs.boxes().back().icon, MessageIcon::Stop);
    EXPECT_TRUE(
        dialogs.boxes().back().text.starts_with("Skripttext 1: Der Text hat 0 Platzhalter"));
    EXPECT_EQ(workspace.store.block(1), script("%g Pfeile", "Ja"));
    EXPECT_EQ(marks(), "...");

    // Stored, the text is in source and code together; each text stored is unsaved work of
    // its own.
    window.set_control_text(kTranslationBox, quiver);
    editor.on_control({kTranslationBox, ListEventType::StoreKey});
    window.set_control_text(kTranslationBox, "Jawohl");
    editor.on_control({kSaveButton});
    EXPECT_EQ(workspace.store.block(1), script(quiver, "Jawohl"));
    EXPECT_EQ(unsaved_work(workspace.lists, workspace.stored_texts).texts, 2u);
    EXPECT_EQ(marks(), "**.");
    // Chosen again, a text shows the one the plugin was opened with; one never stored offers
    // no translation.
    select(1);
    EXPECT_EQ(texts(), "Ja|Jawohl");
    // Only a store that changes the record has the main window count again.
    EXPECT_EQ(stored, 2);
    editor.on_control({kSaveButton});
    EXPECT_EQ(stored, 2);
    select(2);
    EXPECT_EQ(texts(), "Nein|");
    // Saved, each stored text is translated ("Ü").
    workspace.stored_texts.saved();
    editor.close();
    editor.open(kScripts);
    EXPECT_EQ(marks(), "\xDC\xDC.");
}

} // namespace
} // namespace orv
