// Text conversions and the trimming rule.
//
// Library texts are byte strings in the ANSI code page (GBK, code page 936).
// A few routines work on UTF-16 copies.
#pragma once

#include <string>

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

// Removes leading and trailing blanks and control characters (every byte or
// UTF-16 unit up to and including the blank, U+0020).
std::string TrimText(const std::string& text);
std::u16string TrimWide(const std::u16string& text);

}  // namespace corvane::platform

namespace corvane::platform {
// The system's ANSI code page (936 for GBK); elsewhere always 936.
unsigned AnsiCodePage();
}  // namespace corvane::platform
