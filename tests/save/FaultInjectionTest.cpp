// Every file operation of a save made to fail in turn, for every combination of an existing
// or missing target and external database, with and without replacing the external database.
// After each failure both files must be byte for byte as before, the failure must be reported
// with the kind of the failed step and the file it touched, and no temporary file may be left.
#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "platform/AtomicWrite.h"
#include "plugin/RecordTypes.h"
#include "save/SavePipeline.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

const std::filesystem::path kTarget = "out.esp";
const std::filesystem::path kExternal = "prog/dataextra/Extradata.dat";
const Bytes kOldTarget = fixtures::bytes_of("old target bytes");
const Bytes kOldExternal = encode_pair_file({{"FFFF", "FFFF"}, {"Old", "Alt"}});

// The error kind a failure must be reported with, per operation in the order of FileOperation.
constexpr ErrorKind kFailureKinds[] = {ErrorKind::ReadFailed,   ErrorKind::CreateFailed,
                                       ErrorKind::WriteFailed,  ErrorKind::WriteFailed,
                                       ErrorKind::RenameFailed, ErrorKind::RemoveFailed,
                                       ErrorKind::CreateFailed};

struct NullView final : SaveView {
    void show_progress(const Text&) override {}
    void show_mark(int, std::size_t, const Element&) override {}
};

// Saves a plugin of a header and a weapon whose name is edited (three writes) over the
// existing target and external database given, with operation `fail` made to fail (0: none).
// `mark` receives the weapon row's mark after the save.
Result<SaveReport> save(test::MemoryFiles& files, bool target_exists, bool external_exists,
                        ExternalDatabaseWrite write, int fail, Text* mark = nullptr) {
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
    NullView view;
    auto saved = save_plugin(store, lists, files, "prog", kTarget, view, write);
    if (mark) {
        *mark = lists.list(*object_type_of("WEAP")).elements.at(0).mark;
    }
    return saved;
}

TEST(FaultInjection, EveryFailingStepLeavesTargetAndExternalDatabaseAsTheyWere) {
    for (const bool target_exists : {true, false}) {
        for (const bool external_exists : {true, false}) {
            for (const auto write : {ExternalDatabaseWrite::Write, ExternalDatabaseWrite::Keep}) {
                test::MemoryFiles good;
                ASSERT_TRUE(save(good, target_exists, external_exists, write, 0).ok());
                const auto& steps = good.operation_log();
                for (std::size_t k = 0; k < steps.size(); ++k) {
                    SCOPED_TRACE(testing::Message()
                                 << "target " << target_exists << ", external " << external_exists
                                 << ", kept " << (write == ExternalDatabaseWrite::Keep)
                                 << "; failing " << steps[k].describe());
                    test::MemoryFiles files;
                    Text mark;
                    const auto saved = save(files, target_exists, external_exists, write,
                                            static_cast<int>(k + 1), &mark);
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

} // namespace
} // namespace orv
