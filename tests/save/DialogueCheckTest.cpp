// The check of a plugin's dialogue: what a response's translated result script lost against
// the script the file held, lines the reader cannot take apart, and records that cannot be
// placed in a topic.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogueRecords.h"
#include "LearnFixtures.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/Subrecord.h"
#include "save/ReferenceCheck.h"
#include "translation/Responses.h"

namespace orv {
namespace {

using Lines = std::vector<std::string>;

Lines finding_lines(const BlockStore& store, const ObjectLists& lists) {
    Lines lines;
    for (const auto& finding : check_plugin(store, lists, DatabaseInputs{})) {
        lines.push_back(std::string(finding_kind_word(finding.kind)) + "|" + finding.record + "|" +
                        finding.id + "|" + to_utf8(finding.detail));
    }
    return lines;
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
        {test::info("1", "Lost"), fixtures::RecordBuilder("DIAL").text("NAME", "untyped").bytes(),
         test::info("2", "Also lost")});
    ObjectLists lists;
    test::load_all_responses(store, TripleFile{}, lists);
    EXPECT_EQ(finding_lines(store, lists),
              (Lines{"dialogue|INFO|1|Die Antwort gehört zu keinem Thema und bleibt unübersetzt.",
                     "dialogue|DIAL|untyped|Das Thema hat keinen lesbaren Typ; seine Antworten "
                     "bleiben unübersetzt.",
                     "dialogue|INFO|2|Die Antwort gehört zu keinem Thema und bleibt "
                     "unübersetzt."}));
}

} // namespace
} // namespace orv
