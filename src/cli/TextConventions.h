#pragma once

// The batch tool's text conventions live with the translation memory, which shares them.
#include "translation/TextConventions.h"

namespace orv::cli {

using orv::append_escaped_field;
using orv::escape_field;
using orv::field_problem;
using orv::split_fields;
using orv::split_lines;
using orv::unescape_field;

} // namespace orv::cli
