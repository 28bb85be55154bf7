// The check of a plugin's compiled scripts and dialogue: scripts whose texts the program
// cannot reach, message box texts whose placeholders code and source count differently,
// what a response's translated result script lost against the script the file held, lines
// the reader cannot take apart, and records that cannot be placed in a topic.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogueRecords.h"
#include "MemoryFiles.h"
#include "ScriptRecords.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/RecordTypes.h"
#include "plugin/Subrecord.h"
#include "save/ReferenceCheck.h"
#include "translation/DatabaseFile.h"
#include "translation/Responses.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

using Lines = std::vector<std::string>;
using test::message_box_script;

// Each finding as one line, so that a whole list compares at once.
Lines finding_lines(const BlockStore& store, const ObjectLists& lists,
                    CheckScope scope = CheckScope::Everything) {
    Lines lines;
    for (const auto& finding : check_plugin(store, lists, DatabaseInputs{}, scope)) {
        lines.push_back(std::string(finding_kind_word(finding.kind)) + "|" + finding.record + "|" +
                        finding.id + "|" + to_utf8(finding.detail));
    }
    return lines;
}

// The script with `source_text` in its source where it had `code_text`, which is as long.
Bytes with_source_text(Bytes script, std::string_view code_text, std::string_view source_text) {
    EXPECT_EQ(code_text.size(), source_text.size());
    std::string bytes(reinterpret_cast<const char*>(script.data()), script.size());
    bytes.replace(bytes.rfind(code_text), code_text.size(), source_text);
    return fixtures::bytes_of(bytes);
}

// Why a script is refused is the alignment's message; the check names the script with it,
// and for each message box text whose placeholders code and source count differently says
// which one. The save asks only about names and references before it writes.
TEST(ScriptCodeCheck, NamesEachScriptItCannotHandleWithTheReason) {
    // Changed elsewhere: the code's message lost its specifier.
    const auto store = fixtures::store_of(
        {message_box_script("demo_script", "Hallo", "Ja"),
         with_source_text(message_box_script("half_script", "Du hast 50 Gold", "Ja"),
                          "Du hast 50 Gold", "Du hast %g Gold")});
    EXPECT_EQ(finding_lines(store, ObjectLists{}),
              (Lines{"script-code|SCPT|half_script|Die Texte des Skripts bleiben, wie sie sind: "
                     "Quelltext und kompilierter Code stimmen nicht überein, Zeile 3: der Text "
                     "der MessageBox steht im Code anders als im Quelltext.",
                     "define|SCPT|half_script|Zeile 3, MessageBox-Text 1: im Code (den das Spiel "
                     "zeigt) anders als im Quelltext. Der Text hat 0 Platzhalter wie %g oder %s, "
                     "das Original 1; ihre Zahl muss gleich bleiben."}));
    EXPECT_EQ(finding_lines(store, ObjectLists{}, CheckScope::ScriptsAndReferences), Lines{});
}

// The save rewrites a renamed topic's AddTopic argument in source and code; the same name
// quoted in the message is a text, which stays the user's to change.
TEST(ScriptCodeCheck, ARenamedTopicInAMessageTextIsLeftToTheUser) {
    ObjectLists lists;
    lists.append(kTopicType, {mark::kEdited, "Fuhaven", "Fuhaven", "Fuhaven Hafen", 1});
    const auto store = fixtures::store_of({message_box_script("greeter", "Fuhaven", "Ja")});
    EXPECT_EQ(finding_lines(store, lists, CheckScope::ScriptsAndReferences),
              Lines{"script|SCPT|greeter|Zeile 3: „Fuhaven“ heißt nach dem Speichern „Fuhaven "
                    "Hafen“; den Namen im Skripttext ändern und das Skript im Editor neu "
                    "kompilieren"});
}

std::string lost(int text, std::string_view define) {
    return "define|INFO|7|BNAM Text " + std::to_string(text) + ": Der Platzhalter „" +
           std::string(define) + "“ fehlt in der Übersetzung.";
}

TEST(DialogueCheck, NamesWhatATranslatedResultScriptLost) {
    struct Case {
        const char* what;
        std::string original;
        std::string translated;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {"a define of each kind, each text against its own",
         "Choice \"For ^Name\" 1 \"To %PCRace\" 2\nMessageBox \"Hi %PCName\"",
         "Choice \"Fuer dich\" 1 \"Nach %PCRace\" 2\nMessageBox \"Hi du\"",
         {lost(1, "^Name"), lost(3, "%PCName")}},
        // Only texts that have an original are compared: the n-th against the n-th.
        {"more texts than the file held",
         "MessageBox \"Hi %PCName\"",
         "MessageBox \"Hallo\"\nMessageBox \"Hi %PCName\"",
         {lost(1, "%PCName")}},
        {"a quote that is never closed",
         "MessageBox \"Hallo\"\nMessageBox \"Hi %PCName\"",
         "MessageBox \"Hallo\nMessageBox \"Hi %PCName\"",
         {"dialogue|INFO|7|BNAM Zeile 1: ein Anführungszeichen wird nicht geschlossen; die Texte "
          "der Zeile bleiben, wie sie sind."}},
        {"every define kept", "MessageBox \"Hi %PCName\"", "MessageBox \"Hallo %PCName\"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BlockStore store =
            fixtures::store_of({test::topic("greeting"), test::info("7", "Hello", c.original)});
        ObjectLists lists;
        test::load_all_responses(store, TripleFile{}, lists);
        Block& block = store.block(2);
        replace_subrecord_text(block, *find_subrecord(block, "BNAM"), TextKind::Whole,
                               c.translated);
        EXPECT_EQ(finding_lines(store, lists), c.expected);
    }
}

TEST(DialogueCheck, NamesResponsesAndTopicsThatCannotBePlaced) {
    BlockStore store = fixtures::store_of(
        {test::info("1", "Lost"), fixtures::RecordBuilder("DIAL").text("NAME", "untyped").bytes()});
    ObjectLists lists;
    test::load_all_responses(store, TripleFile{}, lists);
    EXPECT_EQ(finding_lines(store, lists),
              (Lines{"dialogue|INFO|1|Die Antwort gehört zu keinem Thema und bleibt unübersetzt.",
                     "dialogue|DIAL|untyped|Das Thema hat keinen lesbaren Typ; seine Antworten "
                     "bleiben unübersetzt."}));
}

// A database file shortened by another program while the check read it gave zeros: the
// check's findings are not to be trusted, and it fails with the file's read error instead.
TEST(PluginCheck, FailsWhenADatabaseFileWasShortenedWhileRead) {
    test::MemoryFiles files;
    const auto path = data_file_path("prog", kRecordTypes[kCellType].name_database);
    files.put(path, encode_pair_file({{"Old Keep", "Alte Burg"}}));
    files.shorten_while_read(path);
    const auto checked = check_plugin(fixtures::store_of({}), ObjectLists(), files, "prog");
    ASSERT_FALSE(checked.ok());
    EXPECT_EQ(checked.error().kind, ErrorKind::ReadFailed);
    EXPECT_NE(checked.error().message.find(display_path(path)), Text::npos);
}

} // namespace
} // namespace orv
