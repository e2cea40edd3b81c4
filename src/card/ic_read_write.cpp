// Reading and writing the card data through the card library.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "card/card_library.h"
#include "card/ic_card.h"
#include "common/diagnostics.h"
#include "common/fields.h"
#include "config/trade_cfg.h"
#include "platform/text.h"

namespace corvane {

namespace {

constexpr int32_t kModeTen = 10;

// True when the text is the decimal number 10 (" 10", "+10", "010").
bool IsModeTen(const std::string& mode) {
  const std::string t = platform::TrimText(mode);
  if (t.empty()) return false;
  char* end = nullptr;
  long value = std::strtol(t.c_str(), &end, 10);
  return end && *end == '\0' && value == kModeTen;
}

// Notes why a card library call failed, if it did.
void NoteCardResult(const char* function, bool returned, int32_t result) {
  if (!returned) {
    Kvo_NoteCause(std::string("card: a fault inside the card library ended ") + function);
  } else if (result != 0) {
    Kvo_NoteCause("card: " + std::string(function) + " returned " + std::to_string(result));
  }
}

}  // namespace

int Kvo_ReadICCard(const std::string& /*mode*/, std::string* card_data) {
  if (Kvo_OpenIC() != 0) return -1;
  try {
    const CardLibraryFunctions* lib = CardLibrary();
    if (!lib) return -1;
    // The buffer starts zeroed and is read only up to its end, so a card
    // library that leaves the text unterminated cannot make us read beyond.
    std::vector<char> buffer(kCardBufferSize, '\0');
    char* data = buffer.data();
    int32_t result = 0;
    // A hardware fault inside the card library fails the read.
    const bool returned =
        GuardedCardCall([lib, data] { return lib->GetData(&IccEnv(), kModeTen, data); }, &result);
    NoteCardResult("IC_GetData", returned, result);
    if (!returned) return -1;
    *card_data = std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
    return result;
  } catch (...) {
    return -1;
  }
}

int Kvo_WriteICCard(const std::string& mode, std::string* write_text, std::string* tac) {
  try {
    std::vector<std::u16string> pieces(2);
    int n = Kvo_SplitWideStr(platform::AnsiToWide(*write_text), u"%%", &pieces, 1);
    if (n != 2) return -1;
    const std::string data = platform::WideToAnsi(pieces[0]);
    const std::string code = platform::WideToAnsi(pieces[1]);
    if (Kvo_OpenIC() != 0) return -1;
    const CardLibraryFunctions* lib = CardLibrary();
    if (!lib) return -1;
    std::vector<char> buffer(kCardBufferSize, '\0');
    const int32_t save_mode = IsModeTen(mode) ? kModeTen : 0;
    const char* data_text = data.c_str();
    const char* code_text = code.c_str();
    char* work = buffer.data();
    int32_t result = 0;
    // A hardware fault inside the card library fails the write.
    const bool returned = GuardedCardCall(
        [=] { return lib->SaveData(&IccEnv(), save_mode, data_text, code_text, work); }, &result);
    NoteCardResult("IC_SaveData", returned, result);
    if (!returned) return -1;
    *tac = "0";
    *write_text = data;
    return result;
  } catch (...) {
    return -1;
  }
}

}  // namespace corvane
