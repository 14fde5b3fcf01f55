// The controls of the main window (TForm1) and the baud-rate dialog (TForm2): kind,
// parent, position and size in pixels at 96 dpi within the client area (or within the
// parent group box), caption and state at start.
#pragma once

#include <string>
#include <vector>

#include "form/translation.h"
#include "form/window_state.h"

namespace zelka::form {

enum class ControlKind { Button, Label, ComboBox, GroupBox, RadioButton, TrackBar, Edit, ProgressBar, Image };

struct ControlSpec {
  std::string name;
  ControlKind kind;
  std::string parent;  // "" = the window itself
  int left, top, width, height;
  Control state;
  int fontPixelHeight = 0;  // 0 = the window's font
};

inline constexpr const char* kMainCaption =
    QT_TRANSLATE_NOOP("Window", "Утилита для Принтера Zelka (Версия 1.10)");
inline constexpr int kMainClientWidth = 398;
inline constexpr int kMainClientHeight = 595;
inline constexpr int kFontPixelHeight = 11;  // Tahoma 8 points at 96 dpi

inline constexpr const char* kBaudDialogCaption = QT_TRANSLATE_NOOP("Window", "Установка скорости");
inline constexpr int kBaudDialogClientWidth = 235;
inline constexpr int kBaudDialogClientHeight = 151;

const std::vector<ControlSpec>& MainWindowControls();
const std::vector<ControlSpec>& BaudDialogControls();

}  // namespace zelka::form
