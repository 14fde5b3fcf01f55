// What the printer operations need of the window besides its controls: modal message
// boxes, file choice and repainting. The front end shows real dialogs; tests record them.
//
// Thread-safety: only window handlers (on the window's thread) call these. Remote
// requests show no message box.
#pragma once

#include <optional>
#include <string>

namespace zelka::seams {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal box with one OK button; returns when the user has closed it.
  virtual void Information(const std::string& text) = 0;
  virtual void Error(const std::string& text) = 0;
  // A file-open dialog with the given filter ("description | pattern"); nothing when the
  // user cancels. `picturePreview` asks for the picture dialog.
  virtual std::optional<std::string> ChooseFile(const std::string& filter,
                                                bool picturePreview) = 0;
  // Repaints the window now, while a long operation keeps its thread busy.
  virtual void Repaint() = 0;
  // Shows a window of the program without waiting for it (the baud-rate dialog "TForm2").
  virtual void ShowModeless(const std::string& windowName) = 0;
};

}  // namespace zelka::seams
