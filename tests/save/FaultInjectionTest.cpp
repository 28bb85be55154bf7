// Every file operation of a save made to fail in turn, for every combination of an existing
// or missing target and external database, with and without replacing the external database.
// After each failure both files must be byte for byte as before, the failure must be reported
// with the kind of the failed step and the file it touched, and no temporary file may be left.
// The test prints the matrix of steps and outcomes it checked.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "platform/AtomicWrite.h"
#include "save/SavePipeline.h"
#include "translation/DatabaseFile.h"
#include "translation/PluginLoader.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;
using test::FileOperation;

const std::filesystem::path kProgramDir = "prog";
const std::filesystem::path kTarget = "out.esp";
const std::filesystem::path kExternal = "prog/dataextra/Extradata.dat";

// Per operation, in the order of FileOperation: its name in the log and the error kind a
// failure of it must be reported with.
struct OperationInfo {
    const char* name;
    ErrorKind kind;
};
constexpr OperationInfo kOperations[] = {
    {"read", ErrorKind::ReadFailed},     {"create", ErrorKind::CreateFailed},
    {"write", ErrorKind::WriteFailed},   {"close", ErrorKind::WriteFailed},
    {"rename", ErrorKind::RenameFailed}, {"remove", ErrorKind::RemoveFailed},
    {"mkdir", ErrorKind::CreateFailed},
};

const OperationInfo& info(FileOperation operation) {
    return kOperations[static_cast<int>(operation)];
}

struct Step {
    FileOperation operation;
    std::string path;

    std::string describe() const { return std::string(info(operation).name) + " " + path; }
};

// Passes every operation on to MemoryFiles and writes down those it counts, in its order, so
// that step k of the log is the operation fail_operation(k) makes fail.
class LoggingFiles final : public Files {
public:
    explicit LoggingFiles(test::MemoryFiles& files) : m_files(files) {}

    Result<Bytes> read_all(const std::filesystem::path& path) override {
        note(FileOperation::Read, path);
        return m_files.read_all(path);
    }
    bool exists(const std::filesystem::path& path) override { return m_files.exists(path); }
    Result<std::unique_ptr<OutputFile>> create(const std::filesystem::path& path) override {
        note(FileOperation::Create, path);
        auto file = m_files.create(path);
        if (!file) {
            return file.error();
        }
        return std::unique_ptr<OutputFile>(
            std::make_unique<LoggingOutputFile>(*this, path, std::move(*file)));
    }
    Result<void> rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) override {
        note(FileOperation::Rename, to);
        return m_files.rename(from, to);
    }
    Result<void> remove(const std::filesystem::path& path) override {
        note(FileOperation::Remove, path);
        return m_files.remove(path);
    }
    Result<void> create_directories(const std::filesystem::path& path) override {
        note(FileOperation::CreateDirectories, path);
        return m_files.create_directories(path);
    }

    const std::vector<Step>& log() const { return m_log; }

private:
    class LoggingOutputFile final : public OutputFile {
    public:
        LoggingOutputFile(LoggingFiles& files, std::filesystem::path path,
                          std::unique_ptr<OutputFile> file)
            : m_files(files), m_path(std::move(path)), m_file(std::move(file)) {}
        Result<void> write(ByteSpan bytes) override {
            m_files.note(FileOperation::Write, m_path);
            return m_file->write(bytes);
        }
        Result<void> close() override {
            m_files.note(FileOperation::Close, m_path);
            return m_file->close();
        }

    private:
        LoggingFiles& m_files;
        std::filesystem::path m_path;
        std::unique_ptr<OutputFile> m_file;
    };

    void note(FileOperation operation, const std::filesystem::path& path) {
        m_log.push_back({operation, path.lexically_normal().string()});
    }

    test::MemoryFiles& m_files;
    std::vector<Step> m_log;
};

class NullLoaderView final : public LoaderView {
public:
    void show_progress(const Text&) override {}
    void show_rows(int, const std::vector<Element>&) override {}
};

class NullSaveView final : public SaveView {
public:
    void show_progress(const Text&) override {}
    void show_mark(int, std::size_t, const Text&) override {}
};

// What a failed save did to put things right, read from the operations after the failure:
// nothing to undo (failed before any file was created), the temporary files removed with the
// targets never touched, the replaced external database given its old bytes back, or the
// external database that had not existed removed again.
constexpr const char* kNothingWritten = "nothing written";
constexpr const char* kTemporariesRemoved = "temporaries removed";
constexpr const char* kExternalPutBack = "external database put back";
constexpr const char* kExternalRemovedAgain = "new external database removed";

std::string outcome_after(const std::vector<Step>& log, std::size_t failed) {
    bool removed_temporary = false;
    for (std::size_t i = failed + 1; i < log.size(); ++i) {
        if (log[i].operation == FileOperation::Create) {
            return kExternalPutBack;
        }
        if (log[i].operation == FileOperation::Remove) {
            if (log[i].path == kExternal.lexically_normal().string()) {
                return kExternalRemovedAgain;
            }
            removed_temporary = true;
        }
    }
    return removed_temporary ? kTemporariesRemoved : kNothingWritten;
}

struct Scenario {
    bool target_exists;
    bool external_exists;
    ExternalDatabaseWrite external_write;

    std::string describe() const {
        return std::string("target ") + (target_exists ? "exists" : "missing") + ", external " +
               (external_exists ? "exists" : "missing") + ", " +
               (external_write == ExternalDatabaseWrite::Write ? "external written"
                                                               : "external kept");
    }
};

const Bytes kOldTarget = fixtures::bytes_of("old target bytes");
const Bytes kOldExternal = encode_pair_file({{"FFFF", "FFFF"}, {"Old", "Alt"}});

class FaultInjection : public ::testing::Test {
protected:
    // A plugin of two records with one edited name, loaded against the scenario's files;
    // the save writes three blocks.
    struct Session {
        test::MemoryFiles memory;
        BlockStore store;
        ObjectLists lists;
    };

    static void prepare(Session& session, const Scenario& scenario) {
        if (scenario.target_exists) {
            session.memory.put(kTarget, kOldTarget);
        }
        if (scenario.external_exists) {
            session.memory.put(kExternal, kOldExternal);
        }
        session.memory.put("prog/data/Celldata.dat", encode_pair_file({{"Foo", "Fuu"}}));
        const Bytes plugin = fixtures::plugin({
            RecordBuilder("CELL").text("NAME", "Foo").bytes(),
            RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", "Club").bytes(),
        });
        TranslationDatabase database(session.memory, kProgramDir);
        NullLoaderView view;
        ASSERT_TRUE(load_plugin(plugin, database, session.store, session.lists, view).ok());
        session.lists.set_mark_and_dv_name(19, 0, mark::kEdited, "Keule");
    }

    static Result<SaveReport> save(Session& session, Files& files, const Scenario& scenario) {
        NullSaveView view;
        return save_plugin(session.store, session.lists, files, kProgramDir, kTarget, view,
                           scenario.external_write);
    }

    // The steps of a save that succeeds.
    static std::vector<Step> successful_steps(const Scenario& scenario) {
        Session session;
        prepare(session, scenario);
        LoggingFiles files(session.memory);
        EXPECT_TRUE(save(session, files, scenario).ok());
        return files.log();
    }

    // Fails each step of the scenario's save in turn and checks what the failure leaves.
    // Adds one matrix row per step: the step, what was undone and the message.
    static void walk_failures(const Scenario& scenario, const std::vector<std::string>& expected) {
        std::ostringstream matrix;
        matrix << "[ matrix ] " << scenario.describe() << "\n";
        const auto steps = successful_steps(scenario);
        EXPECT_EQ(steps.size(), expected.size()) << scenario.describe();
        for (std::size_t k = 0; k < steps.size() && k < expected.size(); ++k) {
            SCOPED_TRACE(scenario.describe() + ", failing step " + std::to_string(k + 1) + " (" +
                         steps[k].describe() + ")");
            Session session;
            prepare(session, scenario);
            LoggingFiles files(session.memory);
            session.memory.fail_operation(static_cast<int>(k + 1));
            const auto saved = save(session, files, scenario);

            ASSERT_FALSE(saved.ok());
            EXPECT_EQ(saved.error().kind, info(steps[k].operation).kind);
            // A failure on a temporary file is told under the name of the file it replaces.
            std::filesystem::path told = steps[k].path;
            for (const auto& file : {kTarget, kExternal}) {
                told = told == temporary_path_for(file) ? file.lexically_normal() : told;
            }
            EXPECT_NE(
                saved.error().message.find(cp1252(u8"„") + display_path(told) + cp1252(u8"“")),
                Text::npos)
                << saved.error().message;
            EXPECT_EQ(session.memory.get(kTarget),
                      scenario.target_exists ? std::optional<Bytes>(kOldTarget) : std::nullopt);
            EXPECT_EQ(session.memory.get(kExternal),
                      scenario.external_exists ? std::optional<Bytes>(kOldExternal) : std::nullopt);
            for (const auto& path : session.memory.paths()) {
                EXPECT_EQ(path.find("orvental-tmp"), std::string::npos) << path;
            }
            // The failed save does exactly the steps of a good one up to the failure.
            ASSERT_GT(files.log().size(), k);
            EXPECT_EQ(files.log()[k].describe(), steps[k].describe());
            const std::string outcome = outcome_after(files.log(), k);
            EXPECT_EQ(outcome, expected[k]);
            matrix << "[ matrix ]   " << k + 1 << ". " << steps[k].describe() << " -> " << outcome
                   << ": " << to_utf8(saved.error().message) << "\n";
        }
        std::cout << matrix.str();
    }
};

TEST_F(FaultInjection, SaveTakesTheseStepsInThisOrder) {
    const Scenario scenario{true, true, ExternalDatabaseWrite::Write};
    const std::string external_temporary =
        test::native_path("prog/dataextra/.Extradata.dat.orvental-tmp");
    const std::string target_temporary = ".out.esp.orvental-tmp";
    std::vector<std::string> steps;
    for (const auto& step : successful_steps(scenario)) {
        steps.push_back(step.describe());
    }
    const std::vector<std::string> expected = {
        // The database files the passes need, read before anything changes.
        "read prog/data/Gmstdata.dat",
        "read prog/data/Celldata.dat",
        "read prog/data/Regndata.dat",
        "mkdir prog/dataextra",
        // The old external database, for putting it back.
        "read prog/dataextra/Extradata.dat",
        "create " + external_temporary,
        "write " + external_temporary,
        "close " + external_temporary,
        "create " + target_temporary,
        // One write per block: the header and two records.
        "write " + target_temporary,
        "write " + target_temporary,
        "write " + target_temporary,
        "close " + target_temporary,
        "rename prog/dataextra/Extradata.dat",
        "rename out.esp",
    };
    std::vector<std::string> native_expected;
    for (const auto& step : expected) {
        native_expected.push_back(test::native_path(step));
    }
    EXPECT_EQ(steps, native_expected);
}

TEST_F(FaultInjection, EveryFailingStepLeavesTargetAndExternalDatabaseAsTheyWere) {
    // Steps 1-5 read and prepare, 6-13 write the temporary files, 14 and 15 rename them.
    std::vector<std::string> put_back(5, kNothingWritten);
    put_back.insert(put_back.end(), 9, kTemporariesRemoved);
    put_back.push_back(kExternalPutBack);
    std::vector<std::string> removed_again = put_back;
    removed_again.back() = kExternalRemovedAgain;
    // Without the external database: no folder, no old bytes, one temporary file.
    std::vector<std::string> target_only(3, kNothingWritten);
    target_only.insert(target_only.end(), 6, kTemporariesRemoved);

    for (const bool target_exists : {true, false}) {
        for (const bool external_exists : {true, false}) {
            for (const auto external_write :
                 {ExternalDatabaseWrite::Write, ExternalDatabaseWrite::Keep}) {
                const Scenario scenario{target_exists, external_exists, external_write};
                walk_failures(scenario, external_write == ExternalDatabaseWrite::Keep ? target_only
                                        : external_exists                             ? put_back
                                                          : removed_again);
            }
        }
    }
}

} // namespace
} // namespace orv
