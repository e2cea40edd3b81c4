// The simulator's journal: one line per call with the function's name, its
// arguments and its result, as tab-separated name=value fields.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace iccsim {

using JournalFields = std::vector<std::pair<std::string, std::string>>;

// "IC_SaveData\tmode=10\tdata=...\tresult=0": values have backslash, tab,
// carriage return and line feed escaped as \\, \t, \r and \n.
std::string JournalLine(const std::string& function, const JournalFields& fields);

// Appends the line (and a line feed) to the journal file.
void AppendJournal(const std::string& journal_file, const std::string& line);

}  // namespace iccsim
