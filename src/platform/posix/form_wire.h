// What passes between the library and corvane-settings-dialog, the program
// that shows a modal form with GTK 3 (the library itself never loads a
// toolkit: see the README).  Texts on the wire are UTF-8, hex-encoded, so a
// line is always one record.
//
// The library writes the form to the program's standard input:
//   form L T W H FONTHEIGHT PANEL LINEL LINET LINEW CHINESE <caption> <font>
//   button L T W H RESULT <caption>
//   label L T W H <caption>
//   edit L T W H <text>
// and reads the outcome from its standard output:
//   result N
//   edit CHANGED <text>            (one line per edit, in order)
// Exit status 0 with the outcome; kExitNoDisplay when there is no display;
// anything else is a failure whose words the program wrote to stderr.
#pragma once

#include <cstddef>
#include <string>

#include "platform/modal_form.h"

namespace corvane::platform {

constexpr int kExitNoDisplay = 3;
constexpr int kExitBadInput = 4;
// Larger inputs are refused by the decoders.
constexpr size_t kFormWireMaxBytes = 1u << 20;
constexpr size_t kFormWireMaxItems = 64;

std::string EncodeFormLayout(const FormLayout& layout);
bool DecodeFormLayout(const std::string& wire, FormLayout* layout);
std::string EncodeFormResult(const FormResult& result);
// edits: the number of edits the form had; the result must hold that many.
bool DecodeFormResult(const std::string& wire, size_t edits, FormResult* result);

}  // namespace corvane::platform
