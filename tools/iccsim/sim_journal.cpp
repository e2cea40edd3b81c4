#include "sim_journal.h"

#include "platform/files.h"

namespace iccsim {

namespace {

std::string Escape(const std::string& v) {
  std::string out;
  out.reserve(v.size());
  for (char c : v) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string JournalLine(const std::string& function, const JournalFields& fields) {
  std::string line = function;
  for (const auto& f : fields) line += "\t" + f.first + "=" + Escape(f.second);
  return line;
}

void AppendJournal(const std::string& journal_file, const std::string& line) {
  corvane::platform::AppendToFile(journal_file, line + "\n");
}

}  // namespace iccsim
