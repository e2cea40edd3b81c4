#include "config/comma_text.h"

#include "platform/text.h"

namespace corvane {
namespace {
bool IsBlank(char c) { return platform::IsBlankOrControl(static_cast<unsigned char>(c)); }
}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text, size_t max_items) {
  std::vector<std::string> items;
  const size_t n = text.size();
  size_t p = 0;
  while (p < n && IsBlank(text[p])) ++p;
  while (p < n && items.size() < max_items) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < n) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      size_t b = p;
      while (p < n && !IsBlank(text[p]) && text[p] != ',') ++p;
      item.assign(text.substr(b, p - b));
    }
    items.push_back(std::move(item));
    while (p < n && IsBlank(text[p])) ++p;
    if (p < n && text[p] == ',') {
      if (p + 1 == n && items.size() < max_items) items.emplace_back();
      ++p;
      while (p < n && IsBlank(text[p])) ++p;
    }
  }
  return items;
}

}  // namespace corvane
