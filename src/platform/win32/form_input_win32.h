// What makes the form modal for the operator: the other windows of the
// calling thread are disabled while it is up, and its edits switch to the
// Simplified Chinese Pinyin input method while they have focus.
#pragma once

#include "platform/win32/form_window_win32.h"

namespace corvane::platform::win32form {

// The installed Simplified Chinese input method whose description names
// Pinyin (拼音), else the first Simplified Chinese one; null when none.
HKL FindChineseInput();
void SelectChineseInput(FormState* state);
void RestoreInput(FormState* state);

void DisableThreadWindows(FormState* state);
void EnableThreadWindows(FormState* state);

}  // namespace corvane::platform::win32form
