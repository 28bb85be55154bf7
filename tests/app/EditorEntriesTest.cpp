#include "app/EditorEntries.h"

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "ScriptRecords.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

using test::DialogTest;

const EditorKind& kBooks = kEditorKinds[0];
const EditorKind& kDialog = kEditorKinds[5];
const EditorKind& kJournal = kEditorKinds[6];
const EditorKind& kScripts = kEditorKinds[7];
constexpr int kBookList = 6;

using test::book;
using test::info;
using test::topic;

// An entry as "mark|key|original|current|to do".
std::vector<std::string> shown(const EditorEntries& entries) {
    std::vector<std::string> lines;
    for (const auto& e : entries.entries()) {
        lines.push_back(e.mark + "|" + e.key + "|" + e.original + "|" + e.current + "|" +
                        (e.to_do ? "to do" : "done"));
    }
    return lines;
}

class EditorEntriesTest : public DialogTest {
protected:
    // Books, responses, journal entries and scripts; the databases translate some of them. A
    // script whose source has a line its code lacks offers no texts.
    void load_all() {
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
                                       "MessageBox \"Nie kompiliert\"\r\n")});
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
    // Responses carry the marks the loader gave them; only unmarked ones are to do.
    EXPECT_EQ(shown(EditorEntries(kDialog, workspace, database("Txtinfodata.dat"))),
              (std::vector<std::string>{"B|Greeting|Hello there|Hallo du|done",
                                        "|Greeting|Go away\r\nnow.|Go away\r\nnow.|to do",
                                        "\xDC|Greeting|Schon da|Schon da|done"}));
    EXPECT_EQ(shown(EditorEntries(kJournal, workspace, database("Txtinfodata.dat"))),
              (std::vector<std::string>{"|quest_a|The Missing Ring|The Missing Ring|to do"}));
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

} // namespace
} // namespace orv
