#include "save/SavePipeline.h"

#include <gtest/gtest.h>

#include "DialogueRecords.h"
#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "platform/AtomicWrite.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"
#include "translation/PluginLoader.h"
#include "translation/Responses.h"
#include "translation/TranslationDatabase.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

using fixtures::record;

// The fixture is the view of the load and of the save, and keeps what they show.
class SavePipeline : public ::testing::Test, public LoaderView, public SaveView {
protected:
    void show_progress(const Text& text) override {
        m_progress = text;
        ++m_shown;
    }
    bool wants_progress() const override { return m_wants_progress; }
    void show_rows(int, const std::vector<Element>&) override {}
    void show_mark(int list_index, std::size_t row, const Element& element) override {
        m_marks.push_back(std::to_string(list_index) + ":" + std::to_string(row) + ":" +
                          element.mark.text());
    }

    void load(const Bytes& plugin) {
        TranslationDatabase database(m_files, "prog");
        ASSERT_TRUE(load_plugin(plugin, database, m_store, m_lists, *this).ok());
    }
    Result<SaveReport> save(ExternalDatabaseWrite external = ExternalDatabaseWrite::Write) {
        return save_plugin(m_store, m_lists, m_files, "prog", "out.esp", *this, external);
    }
    // Edits the name of the first row of the list of `tag`.
    void edit(std::string_view tag, const Text& name) {
        m_lists.set_mark_and_dv_name(*object_type_of(tag), 0, mark::kEdited, name);
    }

    const std::filesystem::path m_external = "prog/dataextra/Extradata.dat";
    test::MemoryFiles m_files;
    BlockStore m_store;
    ObjectLists m_lists;
    Text m_progress;
    int m_shown = 0;
    bool m_wants_progress = true;
    std::vector<std::string> m_marks;
};

// Without edits a save gives back the plugin byte for byte; edited names then go in with
// every size right. A view that shows no progress is given none.
TEST_F(SavePipeline, RoundTripIsByteIdenticalAndEditsKeepEverySizeRight) {
    const auto plugin = [](std::string_view weapon, std::string_view door) {
        const std::string cell = "Foo Town";
        return fixtures::plugin({
            record("CELL", {{"NAME", cell}, {"DATA", "abcdefgh"}}),
            fixtures::RecordBuilder("GMST")
                .text("NAME", "sSetting")
                .raw("STRV", "Some text")
                .bytes(),
            record("WEAP", {{"NAME", "w1"}, {"FNAM", weapon}, {"DATA", "xyz"}}),
            record("DOOR", {{"FNAM", door}}),
            fixtures::RecordBuilder("INFO").text("ANAM", cell).raw("SCVR", "1BLX0" + cell).bytes(),
        });
    };
    load(plugin("Club", "Gate"));
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(m_files.get("out.esp"), plugin("Club", "Gate"));
    EXPECT_EQ(m_files.get(m_external), encode_pair_file({{"FFFF", "FFFF"}}));
    EXPECT_EQ(m_progress, cp1252(u8"Speichere Block : 5 / 5"));
    edit("WEAP", "Schwere Keule");
    edit("DOOR", "");
    const auto report = save();
    ASSERT_TRUE(report.ok());
    EXPECT_EQ(report->names_substituted, 2);
    // An empty new name leaves the terminating zero alone: size 1.
    const auto saved = plugin("Schwere Keule", "");
    EXPECT_EQ(m_files.get("out.esp"), saved);
    // Every edited row is now "Ü", shown with its element.
    EXPECT_EQ(m_marks, (std::vector<std::string>{"9:0:\xDC", "19:0:\xDC"}));
    // The external database: the sentinel, then the pairs in tab order.
    const Bytes external =
        encode_pair_file({{"FFFF", "FFFF"}, {"Gate", ""}, {"Club", "Schwere Keule"}});
    EXPECT_EQ(m_files.get(m_external), external);
    // A second save substitutes nothing and writes the same files.
    ASSERT_EQ(save()->names_substituted, 0);
    EXPECT_EQ(m_files.get("out.esp"), saved);
    EXPECT_EQ(m_files.get(m_external), external);
    // A row whose record the store does not hold changes no record.
    m_lists.append(*object_type_of("MISC"), {mark::kEdited, "ghost", "Ghost", "Geist", 99});
    EXPECT_EQ(save()->names_substituted, 0);
    EXPECT_EQ(m_files.get("out.esp"), saved);

    // A view that shows no progress is given no text by any step of a load and a save,
    // although every pass has places to step through. That every pass still runs is the
    // batch tool's test, whose view shows none.
    m_wants_progress = false;
    m_shown = 0;
    load(saved);
    ASSERT_TRUE(save().ok());
    EXPECT_EQ(m_shown, 0);
}

// The external database made the cell "Keep" into "Burg"; the user renames it once more and
// keeps the external database file as it is.
TEST_F(SavePipeline, CellRenamesOfThisSaveComeFirstAndKeepUsesTheRebuiltExternalDatabase) {
    const Bytes external = encode_pair_file({{"FFFF", "FFFF"}, {"Keep", "Burg"}});
    m_files.put(m_external, external);
    m_files.put("prog/data/Celldata.dat", encode_pair_file({{"Burg", "Festung"}, {"Foo", "Fuu"}}));
    m_files.put("prog/data/Regndata.dat", encode_pair_file({{"Ash Coast", "Aschek\xFCste"}}));
    const auto guide = [](std::string_view a, std::string_view b, std::string_view c,
                          std::string_view d) {
        return record("NPC_",
                      {{"NAME", "guide"}, {"DNAM", a}, {"DNAM", b}, {"DNAM", c}, {"DNAM", d}});
    };
    load(fixtures::plugin(
        {record("CELL", {{"NAME", "Keep"}}), guide("Burg", "Ash Coast", "Foo", "Keep")}));
    edit("CELL", "Schloss");
    const auto report = save(ExternalDatabaseWrite::Keep);
    ASSERT_TRUE(report.ok());
    EXPECT_EQ(m_files.get(m_external), external);
    // The name the cell held before this save follows the rename although the shipped cell
    // names know "Burg"; region names count as cell names; "Keep" is found in the rebuilt
    // external database, not in the file.
    EXPECT_EQ(m_files.get("out.esp"),
              fixtures::plugin({record("CELL", {{"NAME", "Schloss"}}),
                                guide("Schloss", "Aschek\xFCste", "Fuu", "Schloss")}));
    EXPECT_EQ(report->references_translated, 4);
}

// A save hands the rows it turned from "*" into "Ü" to the memory, the names first, and of
// the responses those translated by hand: an emptied one (a text of nothing is no
// translation to keep), one left alone and one set to the text it had are none. A memory
// that cannot take them stays as it was, and the message says that the plugin is saved.
// How the memory writes its lines is its own test's; that a good save reaches it, the
// window's (Dispatcher).
TEST_F(SavePipeline, SavedHandEditsReachTheMemoryAfterThePlugin) {
    using test::info;
    load(fixtures::plugin({record("MISC", {{"NAME", "a"}, {"FNAM", "Rock"}}),
                           test::topic("rumours"), info("r1", "Hello"), info("r2", "Bye"),
                           info("r3", "Later"), info("r4", "Same")}));
    edit("MISC", "Stein");
    auto& responses = m_lists.responses();
    ASSERT_EQ(responses.size(), 4u);
    set_response_text(m_store, responses[0], "Hallo");
    set_response_text(m_store, responses[1], "");
    set_response_text(m_store, responses[3], "Same");
    m_files.put_text(memory_path("prog"), "kaputt\n");

    const auto saved = save();
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(
        saved->confirmed_translations,
        std::vector<MemoryEntry>({{*object_type_of("MISC"), "Rock", "Stein", today_date(), ""},
                                  {kDialogMemory, "Hello", "Hallo", today_date(), ""}}));
    EXPECT_EQ(responses[0].mark, mark::kExternal);
    for (std::size_t k = 1; k < responses.size(); ++k) {
        EXPECT_NE(responses[k].mark, mark::kExternal) << k;
    }
    const auto refused = remember_confirmed_translations(m_files, "prog", *saved);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(to_utf8(refused.error().message).ends_with(".\rDas Plugin wurde gespeichert."));
    EXPECT_EQ(m_files.get(memory_path("prog")), fixtures::bytes_of("kaputt\n"));
}

// Every file operation of a save made to fail in turn, for every combination of an existing
// or missing target and external database, with and without replacing the external database.
// After each failure both files must be byte for byte as before, the failure must be reported
// with the kind of the failed step and the file it touched, and no temporary file may be left.
const std::filesystem::path kTarget = "out.esp";
const std::filesystem::path kExternal = "prog/dataextra/Extradata.dat";
const Bytes kOldTarget = fixtures::bytes_of("old target bytes");
const Bytes kOldExternal = encode_pair_file({{"FFFF", "FFFF"}, {"Old", "Alt"}});

// The error kind a failure must be reported with, per operation in the order of FileOperation.
constexpr ErrorKind kFailureKinds[] = {ErrorKind::ReadFailed,   ErrorKind::CreateFailed,
                                       ErrorKind::WriteFailed,  ErrorKind::WriteFailed,
                                       ErrorKind::RenameFailed, ErrorKind::RemoveFailed,
                                       ErrorKind::CreateFailed};

// Saves a plugin of a header and a weapon whose name is edited (three writes) over the
// existing target and external database given, with operation `fail` made to fail (0: none).
// `mark` receives the weapon row's mark after the save.
Result<SaveReport> save_failing(SaveView& view, test::MemoryFiles& files, bool target_exists,
                                bool external_exists, ExternalDatabaseWrite write, int fail,
                                RowMark* mark = nullptr) {
    BlockStore store = fixtures::store_of({fixtures::record("WEAP", {{"FNAM", "Club"}})});
    ObjectLists lists;
    lists.append(*object_type_of("WEAP"), {mark::kEdited, "Club", "Club", "Keule", 1});
    if (target_exists) {
        files.put(kTarget, kOldTarget);
    }
    if (external_exists) {
        files.put(kExternal, kOldExternal);
    }
    files.fail_operation(fail);
    auto saved = save_plugin(store, lists, files, "prog", kTarget, view, write);
    if (mark) {
        *mark = lists.list(*object_type_of("WEAP")).elements.at(0).mark;
    }
    return saved;
}

TEST_F(SavePipeline, EveryFailingStepLeavesTargetAndExternalDatabaseAsTheyWere) {
    for (const bool target_exists : {true, false}) {
        for (const bool external_exists : {true, false}) {
            for (const auto write : {ExternalDatabaseWrite::Write, ExternalDatabaseWrite::Keep}) {
                test::MemoryFiles good;
                ASSERT_TRUE(
                    save_failing(*this, good, target_exists, external_exists, write, 0).ok());
                const auto& steps = good.operation_log();
                for (std::size_t k = 0; k < steps.size(); ++k) {
                    SCOPED_TRACE(testing::Message()
                                 << "target " << target_exists << ", external " << external_exists
                                 << ", kept " << (write == ExternalDatabaseWrite::Keep)
                                 << "; failing " << steps[k].describe());
                    test::MemoryFiles files;
                    RowMark mark;
                    const auto saved = save_failing(*this, files, target_exists, external_exists,
                                                    write, static_cast<int>(k + 1), &mark);
                    ASSERT_FALSE(saved.ok());
                    // The edited name is still unsaved.
                    EXPECT_EQ(mark, mark::kEdited);
                    EXPECT_EQ(saved.error().kind, kFailureKinds[static_cast<int>(steps[k].kind)]);
                    // The failed save does exactly the steps of a good one up to the failure.
                    ASSERT_GT(files.operation_log().size(), k);
                    EXPECT_EQ(files.operation_log()[k], steps[k]);
                    // A failure on a temporary file is told under the file it replaces.
                    auto told = std::filesystem::path(steps[k].path).lexically_normal();
                    for (const auto& file : {kTarget, kExternal}) {
                        told = told == temporary_path_for(file) ? file.lexically_normal() : told;
                    }
                    EXPECT_NE(saved.error().message.find(cp1252(u8"„") + display_path(told) +
                                                         cp1252(u8"“")),
                              Text::npos)
                        << saved.error().message;
                    EXPECT_EQ(files.get(kTarget),
                              target_exists ? std::optional(kOldTarget) : std::nullopt);
                    EXPECT_EQ(files.get(kExternal),
                              external_exists ? std::optional(kOldExternal) : std::nullopt);
                    for (const auto& path : files.paths()) {
                        EXPECT_EQ(path.find("orvental-tmp"), std::string::npos) << path;
                    }
                }
            }
        }
    }
}

// A database file that another program shortens while the save reads it gives zeros from
// there on: the save must fail before it writes anything, and name the file. Noticed only
// after the passes read the tables, the file it wrote meanwhile goes, and the old files stay.
TEST_F(SavePipeline, ADatabaseFileShortenedWhileReadStopsTheSaveBeforeAnyWrite) {
    for (const std::string_view name :
         {kGameSettingsName, kRecordTypes[kCellType].name_database,
          kRecordTypes[kRegionType].name_database, kRecordTypes[kTopicType].name_database}) {
        SCOPED_TRACE(name);
        test::MemoryFiles files;
        const auto path = data_file_path("prog", name);
        files.put(path, encode_pair_file({{"Club", "Keule"}}));
        files.shorten_while_read(path);
        const auto saved = save_failing(*this, files, true, true, ExternalDatabaseWrite::Write, 0);
        ASSERT_FALSE(saved.ok());
        EXPECT_EQ(saved.error().kind, ErrorKind::ReadFailed);
        EXPECT_NE(saved.error().message.find(display_path(path)), Text::npos)
            << saved.error().message;
        EXPECT_EQ(files.get(kTarget), kOldTarget);
        EXPECT_EQ(files.get(kExternal), kOldExternal);
        for (const auto& operation : files.operation_log()) {
            EXPECT_NE(operation.kind, test::FileOperation::Create) << operation.describe();
        }

        test::MemoryFiles later;
        later.put(path, encode_pair_file({{"Club", "Keule"}}));
        later.shorten_while_read(path, 1);
        const auto written =
            save_failing(*this, later, true, true, ExternalDatabaseWrite::Write, 0);
        ASSERT_FALSE(written.ok());
        EXPECT_EQ(written.error().kind, ErrorKind::ReadFailed);
        EXPECT_EQ(later.get(kTarget), kOldTarget);
        EXPECT_EQ(later.get(kExternal), kOldExternal);
        for (const auto& kept : later.paths()) {
            EXPECT_EQ(kept.find("orvental-tmp"), std::string::npos) << kept;
        }
    }
}

} // namespace
} // namespace orv
