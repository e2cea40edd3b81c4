// Text conversions and the trimming rule.
//
// Library texts are byte strings in the ANSI code page (GBK, code page 936).
// A few routines work on UTF-16 copies.
#pragma once

#include <string>
#include <string_view>

namespace corvane::platform {

// ANSI (GBK) text to UTF-16 and back.  On Windows these use the system's
// ANSI code page; elsewhere code page 936 as Windows defines it.  Bytes that
// cannot be converted become U+003F '?' (and the reverse likewise), as the
// Windows conversion functions do with their default settings.
std::u16string AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::u16string& text);

// Code page 936 on every platform, whatever the system's code page.
std::u16string GbkToWide(const std::string& text);
std::string WideToGbk(const std::u16string& text);

// UTF-8 and UTF-16 (for files meant for people, such as scenario files).
std::u16string Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::u16string& text);

// A blank or control character for trimming and splitting: every byte (as
// unsigned char) or UTF-16 unit up to and including the blank, U+0020.
constexpr bool IsBlankOrControl(char32_t c) { return c <= 0x20; }
// A control character: below the blank, or DEL (0x7F).  Line breaks are
// among them, so a text without one stays on its line.
constexpr bool IsControlCharacter(unsigned char c) { return c < 0x20 || c == 0x7F; }
bool HasControlCharacter(std::string_view text);

// Removes leading and trailing blanks and control characters
// (IsBlankOrControl).
std::string_view TrimView(std::string_view text);
std::string TrimText(const std::string& text);
std::u16string TrimWide(const std::u16string& text);

}  // namespace corvane::platform

namespace corvane::platform {
// The system's ANSI code page (936 for GBK); elsewhere always 936.
unsigned AnsiCodePage();
}  // namespace corvane::platform
