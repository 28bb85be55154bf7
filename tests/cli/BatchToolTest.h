#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "MemoryFiles.h"
#include "cli/Cli.h"

namespace orv::cli::test_support {

// Runs the batch tool on memory files with the program folder "prog", keeping what it
// printed on stdout and stderr.
class BatchToolTest : public ::testing::Test {
protected:
    int run_tool(const std::vector<std::string>& arguments) {
        std::ostringstream out_stream;
        std::ostringstream err_stream;
        const int status = run(arguments, "prog", files, out_stream, err_stream);
        out = out_stream.str();
        err = err_stream.str();
        return status;
    }

    test::MemoryFiles files;
    std::string out;
    std::string err;
};

} // namespace orv::cli::test_support
