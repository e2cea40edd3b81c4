#include "platform/posix/form_wire.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace corvane::platform {
namespace {

const char kHex[] = "0123456789abcdef";

std::string Hex(const std::string& text) {
  std::string out = text.empty() ? "-" : "";
  for (unsigned char c : text) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unhex(const std::string& hex, std::string* text) {
  text->clear();
  if (hex == "-") return true;
  if (hex.empty() || hex.size() % 2 != 0) return false;
  for (size_t i = 0; i < hex.size(); i += 2) {
    int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    *text += static_cast<char>(hi * 16 + lo);
  }
  return true;
}

// One line split at blanks.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

bool Number(const std::string& word, int* value) {
  char* end = nullptr;
  long v = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || v < -100000 || v > 100000) return false;
  *value = static_cast<int>(v);
  return true;
}

// Reads count numbers from words[1..count] into the given ints.
bool Numbers(const std::vector<std::string>& words, std::initializer_list<int*> out) {
  if (words.size() < out.size() + 1) return false;
  size_t i = 1;
  for (int* p : out) {
    if (!Number(words[i++], p)) return false;
  }
  return true;
}

std::string Box(int l, int t, int w, int h) {
  return std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(w) + " " +
         std::to_string(h);
}

bool DecodeFormLine(const std::vector<std::string>& w, FormLayout* layout) {
  int chinese = 0;
  if (w.size() != 13) return false;
  if (!Numbers(w, {&layout->left, &layout->top, &layout->width, &layout->height, &layout->font_height,
                   &layout->bottom_panel_height, &layout->line_left, &layout->line_top,
                   &layout->line_width, &chinese}))
    return false;
  layout->chinese_input = chinese != 0;
  return Unhex(w[11], &layout->caption) && Unhex(w[12], &layout->font_face);
}

bool DecodeItem(const std::vector<std::string>& w, FormLayout* layout) {
  int l, t, wd, h, r;
  if (w[0] == "button" && w.size() == 7 && Numbers(w, {&l, &t, &wd, &h, &r})) {
    layout->buttons.push_back({"", l, t, wd, h, r});
    return Unhex(w[6], &layout->buttons.back().caption);
  }
  if (w.size() != 6 || !Numbers(w, {&l, &t, &wd, &h})) return false;
  if (w[0] == "label") {
    layout->labels.push_back({"", l, t, wd, h});
    return Unhex(w[5], &layout->labels.back().caption);
  }
  if (w[0] == "edit") {
    layout->edits.push_back({"", l, t, wd, h});
    return Unhex(w[5], &layout->edits.back().text);
  }
  return false;
}

}  // namespace

std::string EncodeFormLayout(const FormLayout& s) {
  std::string out = "form " + Box(s.left, s.top, s.width, s.height) + " " +
                    std::to_string(s.font_height) + " " + std::to_string(s.bottom_panel_height) +
                    " " + std::to_string(s.line_left) + " " + std::to_string(s.line_top) + " " +
                    std::to_string(s.line_width) + " " + (s.chinese_input ? "1" : "0") + " " +
                    Hex(s.caption) + " " + Hex(s.font_face) + "\n";
  for (const FormButton& b : s.buttons)
    out += "button " + Box(b.left, b.top, b.width, b.height) + " " + std::to_string(b.result) +
           " " + Hex(b.caption) + "\n";
  for (const FormLabel& l : s.labels)
    out += "label " + Box(l.left, l.top, l.width, l.height) + " " + Hex(l.caption) + "\n";
  for (const FormEdit& e : s.edits)
    out += "edit " + Box(e.left, e.top, e.width, e.height) + " " + Hex(e.text) + "\n";
  return out;
}

bool DecodeFormLayout(const std::string& wire, FormLayout* layout) {
  if (wire.size() > kFormWireMaxBytes) return false;
  *layout = FormLayout();
  std::istringstream in(wire);
  std::string line;
  if (!std::getline(in, line) || !DecodeFormLine(Words(line), layout)) return false;
  size_t items = 0;
  while (std::getline(in, line)) {
    std::vector<std::string> w = Words(line);
    if (w.empty()) continue;
    if (++items > kFormWireMaxItems || !DecodeItem(w, layout)) return false;
  }
  return true;
}

std::string EncodeFormResult(const FormResult& r) {
  std::string out = "result " + std::to_string(r.modal_result) + "\n";
  for (size_t i = 0; i < r.texts.size(); ++i) {
    bool changed = i < r.changed.size() && r.changed[i];
    out += std::string("edit ") + (changed ? "1 " : "0 ") + Hex(r.texts[i]) + "\n";
  }
  return out;
}

bool DecodeFormResult(const std::string& wire, size_t edits, FormResult* r) {
  if (wire.size() > kFormWireMaxBytes || edits > kFormWireMaxItems) return false;
  std::istringstream in(wire);
  std::string line;
  if (!std::getline(in, line)) return false;
  std::vector<std::string> w = Words(line);
  if (w.size() != 2 || w[0] != "result" || !Number(w[1], &r->modal_result)) return false;
  r->texts.clear();
  r->changed.clear();
  while (r->texts.size() < edits && std::getline(in, line)) {
    w = Words(line);
    if (w.size() != 3 || w[0] != "edit" || (w[1] != "0" && w[1] != "1")) return false;
    r->texts.emplace_back();
    r->changed.push_back(w[1] == "1");
    if (!Unhex(w[2], &r->texts.back())) return false;
  }
  return r->texts.size() == edits;
}

}  // namespace corvane::platform
