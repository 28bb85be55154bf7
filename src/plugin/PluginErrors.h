#pragma once

#include <cstddef>
#include <optional>

#include "platform/Result.h"

namespace orv {

// Why a file is no plugin the program can read. A refused plugin file is an Error of kind
// ErrorKind::UnusableFile carrying one of these; its offset says where the problem lies.
enum class PluginProblem : int {
    // The file is shorter than the 324 bytes both header fields need; at the file's size.
    FileTooShort = 1,
    // The header record is shorter than those 324 bytes; at 0.
    HeaderRecordTooShort,
    // The file starts with a zero byte where the first tag should be; at 0.
    EmptyFirstTag,
    // A record's header or data runs past the end of the file; at the record's start.
    RecordPastEnd,
};

// The refusal of a plugin file for `problem`, found at byte `offset`, with its German
// message.
Error plugin_error(PluginProblem problem, std::size_t offset);

// What is wrong with a refused plugin file, or nothing for an error of another kind.
std::optional<PluginProblem> plugin_problem(const Error& error);

} // namespace orv
