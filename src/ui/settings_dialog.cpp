#include "ui/settings_dialog.h"

#include "config/ini_file.h"

namespace corvane {
namespace {

constexpr int kClientLeft = 142, kClientTop = 221, kClientWidth = 471, kClientHeight = 285;
constexpr int kFontHeight = -12;
constexpr int kBottomPanelHeight = 41;
constexpr int kLineLeft = 5, kLineTop = 131, kLineWidth = 463;
constexpr int kButtonTop = 8, kButtonWidth = 75, kButtonHeight = 25;
constexpr int kEditWidth = 121, kEditHeight = 21;
constexpr int kLabelWidth = 88, kLabelHeight = 12, kLabelGap = 4, kLabelDrop = 4;

}  // namespace

std::vector<std::string> LoadSettings(const std::string& path) {
  const std::string content = IniLoadFile(path);
  std::vector<std::string> values(kSettingsFieldCount);
  for (size_t i = 0; i < kSettingsFieldCount; ++i) {
    const SettingsField& f = SettingsFields()[i];
    if (!IniFindValue(content, f.section, f.key, &values[i])) values[i] = f.shown_default;
  }
  return values;
}

void SaveSettings(const std::string& path, const std::vector<std::string>& values) {
  std::vector<IniEntry> entries;
  for (size_t i = 0; i < kSettingsFieldCount && i < values.size(); ++i) {
    const SettingsField& f = SettingsFields()[i];
    entries.push_back(IniEntry{f.section, f.key, values[i]});
  }
  IniWriteValues(path, entries);
}

platform::FormLayout SettingsForm(const std::vector<std::string>& values) {
  platform::FormLayout s;
  s.caption = "Tradecfg参数配置";
  s.left = kClientLeft, s.top = kClientTop, s.width = kClientWidth, s.height = kClientHeight;
  s.font_face = "宋体";
  s.font_height = kFontHeight;
  s.bottom_panel_height = kBottomPanelHeight;
  s.line_left = kLineLeft, s.line_top = kLineTop, s.line_width = kLineWidth;
  s.buttons = {{"确定(&S)", 277, kButtonTop, kButtonWidth, kButtonHeight, kSettingsConfirm},
               {"取消(&C)", 365, kButtonTop, kButtonWidth, kButtonHeight, kSettingsCancel}};
  for (size_t i = 0; i < kSettingsFieldCount; ++i) {
    const SettingsField& f = SettingsFields()[i];
    s.labels.push_back({f.label, f.left - kLabelGap - kLabelWidth, f.top + kLabelDrop,
                        kLabelWidth, kLabelHeight});
    s.edits.push_back({i < values.size() ? values[i] : "", f.left, f.top, kEditWidth,
                       kEditHeight});
  }
  s.chinese_input = true;
  return s;
}

std::vector<std::string> EditedSettings(const std::vector<std::string>& loaded,
                                        const platform::FormResult& result) {
  std::vector<std::string> values = loaded;
  for (size_t i = 0; i < values.size() && i < result.texts.size(); ++i) {
    if (i < result.changed.size() && result.changed[i]) values[i] = result.texts[i];
  }
  return values;
}

}  // namespace corvane
