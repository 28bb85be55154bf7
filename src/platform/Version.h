#pragma once

#include <string_view>

namespace orv {

// The program's version as the window's title ("ORVENTAL v3.03a") and `orvental-cli
// --version` show it; the one place that names it.
inline constexpr std::string_view kVersion = "v3.03a";

} // namespace orv
