#pragma once

#include <cstddef>
#include <limits>

#include "learn/Learning.h"

namespace orv {

// The summary of a learning run as German text, lines broken by "\r": how many records
// found a partner, the translations per kind, what was new to the databases, the records
// without a partner on either side and the conflicts with their records. Lists longer than
// `list_limit` show that many lines and how many more there are (a message box shows 10,
// the batch tool everything).
Text describe_learned(const LearnSummary& summary, TextView german_name,
                      std::size_t list_limit = std::numeric_limits<std::size_t>::max());

} // namespace orv
