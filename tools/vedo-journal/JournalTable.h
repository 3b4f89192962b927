// The table that vedo-journal prints of the journal's lines.
#pragma once

#include <string>

#include "JournalReader.h"

namespace journal {

// The rows that pass the filter, newest first, as a table under the column names.
std::string FormatTable(const Journal& journal, const Filter& filter);

}  // namespace journal
