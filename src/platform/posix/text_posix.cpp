#include <errno.h>
#include <iconv.h>
#include <stdint.h>

#include <algorithm>
#include <vector>

#include "platform/text.h"

namespace corvane::platform {
namespace {

#include "cp936_best_fit.inc"
#include "cp936_extra.inc"

constexpr size_t kExtraCount = sizeof kCp936Extra / sizeof kCp936Extra[0];

// Wide unit of a sequence that only code page 936 assigns, or 0.
char16_t ExtraToWide(uint16_t sequence) {
  const uint16_t(*end)[2] = kCp936Extra + kExtraCount;
  auto it = std::lower_bound(kCp936Extra, end, sequence,
                             [](const uint16_t(&e)[2], uint16_t v) { return e[0] < v; });
  return (it != end && (*it)[0] == sequence) ? (*it)[1] : 0;
}

// Sequence of a wide unit that only code page 936 assigns or writes as its
// best fit, or 0.
uint16_t ExtraFromWide(char16_t wide) {
  static const std::vector<std::pair<char16_t, uint16_t>> by_wide = [] {
    std::vector<std::pair<char16_t, uint16_t>> v;
    for (const auto& e : kCp936Extra) v.emplace_back(e[1], e[0]);
    std::sort(v.begin(), v.end());
    return v;
  }();
  auto it = std::lower_bound(by_wide.begin(), by_wide.end(), std::make_pair(wide, uint16_t{0}));
  if (it != by_wide.end() && it->first == wide) return it->second;
  const uint16_t(*end)[2] = kCp936BestFit + sizeof kCp936BestFit / sizeof kCp936BestFit[0];
  auto fit = std::lower_bound(kCp936BestFit, end, static_cast<uint16_t>(wide),
                              [](const uint16_t(&e)[2], uint16_t v) { return e[0] < v; });
  return (fit != end && (*fit)[0] == wide) ? (*fit)[1] : 0;
}

// glibc's GBK table is code page 936 except for byte 0x80, which 936 maps
// to the euro sign.
constexpr unsigned char kEuroByte = 0x80;
constexpr char16_t kEuro = 0x20AC;

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // Converts as much as possible; returns bytes consumed, output appended.
  size_t Run(const char* in, size_t len, std::string* out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    size_t left = len;
    char buf[1024];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out->append(buf, dst - buf);
      if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
    }
    return len - left;
  }

 private:
  iconv_t cd_;
};

uint32_t Unit(char c) { return static_cast<unsigned char>(c); }
uint32_t Unit(char16_t c) { return c; }

// Copies the ASCII units of in from index i on to out, a chunk at a time
// (a long text is mostly ASCII: it goes in bulk rather than unit by unit);
// returns the index of the first unit that is not ASCII, or the end.
template <typename In, typename Out>
size_t AppendAsciiRun(const In& in, size_t i, Out* out) {
  constexpr size_t kChunk = 2048;
  typename Out::value_type chunk[kChunk];
  for (;;) {
    size_t n = 0;
    while (n < kChunk && i + n < in.size() && Unit(in[i + n]) < 0x80) {
      chunk[n] = static_cast<typename Out::value_type>(in[i + n]);
      ++n;
    }
    out->append(chunk, n);
    i += n;
    if (n < kChunk) return i;
  }
}

std::u16string FromBytes(const std::string& bytes) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return out;
}

}  // namespace

std::u16string GbkToWide(const std::string& text) {
  thread_local Converter conv("UTF-16LE", "GBK");
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while ((i = AppendAsciiRun(text, i, &out)) < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == kEuroByte) {
      out.push_back(kEuro);
      ++i;
      continue;
    }
    if (i + 1 < text.size()) {
      char16_t extra = ExtraToWide(static_cast<uint16_t>(
          (c << 8) | static_cast<unsigned char>(text[i + 1])));
      if (extra) {
        out.push_back(extra);
        i += 2;
        continue;
      }
    }
    if (char16_t extra = ExtraToWide(c)) {
      out.push_back(extra);
      ++i;
      continue;
    }
    // One double-byte character at a time keeps the error handling simple.
    std::string wide;
    size_t len = (i + 1 < text.size()) ? 2 : 1;
    size_t used = conv.ok() ? conv.Run(text.data() + i, len, &wide) : 0;
    if (used == len && wide.size() == 2) {
      out += FromBytes(wide);
      i += len;
    } else {
      out.push_back(u'?');
      // An invalid trail byte that is itself a character stays for the next
      // round; a lone lead byte is consumed.
      i += 1;
    }
  }
  return out;
}

std::string WideToGbk(const std::u16string& text) {
  thread_local Converter conv("GBK", "UTF-16LE");
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; (i = AppendAsciiRun(text, i, &out)) < text.size(); ++i) {
    char16_t ch = text[i];
    if (ch == kEuro) {
      out.push_back(static_cast<char>(kEuroByte));
      continue;
    }
    if (uint16_t extra = ExtraFromWide(ch)) {
      if (extra > 0xFF) out.push_back(static_cast<char>(extra >> 8));
      out.push_back(static_cast<char>(extra & 0xFF));
      continue;
    }
    char in[2] = {static_cast<char>(ch & 0xFF), static_cast<char>(ch >> 8)};
    std::string gbk;
    if (conv.ok() && conv.Run(in, 2, &gbk) == 2 && !gbk.empty()) {
      out += gbk;
    } else {
      out.push_back('?');  // one per UTF-16 unit, as Windows does
    }
  }
  return out;
}

std::u16string AnsiToWide(const std::string& text) { return GbkToWide(text); }
std::string WideToAnsi(const std::u16string& text) { return WideToGbk(text); }

}  // namespace corvane::platform

namespace corvane::platform {
unsigned AnsiCodePage() { return 936; }
}  // namespace corvane::platform
