// Comma text: the item lists of USERTRADE parameter lines.
//
// Items are separated by commas or by runs of blanks and control
// characters; leading blanks are skipped; an item that begins with '"' runs
// to the matching closing quote, "" inside it standing for one quote, and
// may contain commas and blanks; a comma at the very end adds one empty
// item; two commas in a row give an empty item between them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// At most max_items items are returned (the rest of the text is ignored).
std::vector<std::string> SplitCommaText(std::string_view text, size_t max_items = 4096);

}  // namespace corvane
