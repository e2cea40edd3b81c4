// A modal form: a fixed-size window with labels, one-line edits and push
// buttons at pixel positions, shown on the calling thread until one of its
// buttons or its close box ends it.  All texts are GBK.
//
// Windows: a window built in code in this process, with its own modal loop
// on the calling thread and no owner.  Elsewhere: the program
// corvane-settings-dialog beside the library (GTK 3) shows the form; the
// library waits for it.  See modal_form_wire.h for what passes between them.
#pragma once

#include <string>
#include <vector>

namespace corvane::platform {

struct FormButton {
  std::string caption;  // '&' marks the mnemonic letter
  int left, top, width, height;  // in the bottom panel
  int result;                    // the modal result this button gives
};

struct FormLabel {
  std::string caption;
  int left, top, width, height;  // the text is right-aligned in this box
};

struct FormEdit {
  std::string text;
  int left, top, width, height;
};

struct FormLayout {
  std::string caption;
  int left = 0, top = 0, width = 0, height = 0;  // client area on the screen
  std::string font_face;                          // GBK, e.g. "宋体"
  int font_height = 0;  // negative: character height in pixels
  int bottom_panel_height = 0;  // a raised panel across the bottom holding the buttons;
                                // the rest is a panel with a lowered inner bevel
  int line_left = 0, line_top = 0, line_width = 0;  // a one-pixel horizontal line
  std::vector<FormButton> buttons;  // tab order: the buttons, then the edits
  std::vector<FormLabel> labels;
  std::vector<FormEdit> edits;
  bool chinese_input = false;  // Simplified Chinese Pinyin while an edit has focus
};

enum class FormFailure {
  kNone,
  kNoDisplay,       // no graphical display to show it on
  kProgramMissing,  // the program that shows it is not installed
  kWindowRefused,   // the system refused to create or run the window
};

struct FormResult {
  int modal_result = 0;  // the result of the button, 2 for the close box
  std::vector<std::string> texts;  // each edit's text at the end
  std::vector<bool> changed;       // whether it differs from the text shown
  FormFailure failure = FormFailure::kNone;
  std::string cause;     // the system's words, for the diagnostics log
  std::string program;   // kProgramMissing: the path looked for
};

// Shows the form until it is closed.  False (failure and cause set) when it
// could not be shown.
bool ShowModalForm(const FormLayout& layout, FormResult* result);

}  // namespace corvane::platform
