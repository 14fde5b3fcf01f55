// What the window's handlers need besides its controls: modal message boxes and file
// choice. The front end shows real dialogs; tests record them.
//
// Thread-safety: the window's thread only.
#pragma once

#include <optional>
#include <string>

namespace zelka::form {

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
  // Shows a window of the program without waiting for it (the baud-rate dialog "TForm2").
  virtual void ShowModeless(const std::string& windowName) = 0;
};

}  // namespace zelka::form
