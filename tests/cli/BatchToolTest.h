#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "MemoryFiles.h"
#include "cli/Cli.h"

namespace orv::cli::test_support {

inline std::string utf8(std::u8string_view literal) {
    return std::string(literal.begin(), literal.end());
}

// A file's bytes as text, so that a difference prints readably.
inline std::string text_of(const std::optional<Bytes>& bytes) {
    return bytes ? std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size())
                 : std::string("(keine Datei)");
}

// One call of the batch tool with the program folder "prog": its arguments, status, and
// what it printed on stdout and stderr.
struct Call {
    std::vector<std::string> arguments;
    int status;
    std::string out;
    std::string err;
};

inline Call run_tool(Files& files, const std::vector<std::string>& arguments,
                     ProcessEnd end = ProcessEnd::FreeEverything) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = run(arguments, "prog", files, out, err, end);
    return {arguments, status, out.str(), err.str()};
}

// Runs the batch tool on memory files, keeping what it printed.
class BatchToolTest : public ::testing::Test {
protected:
    int run_tool(const std::vector<std::string>& arguments) {
        Call call = test_support::run_tool(files, arguments);
        out = std::move(call.out);
        err = std::move(call.err);
        return call.status;
    }

    test::MemoryFiles files;
    std::string out;
    std::string err;
};

} // namespace orv::cli::test_support
