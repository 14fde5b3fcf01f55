// What the window's handlers need besides its controls: modal message boxes and file
// choice. The front end shows real dialogs; tests record them.
//
// Thread-safety: the window's thread only.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelka::form {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal box with one OK button; returns when the user has closed it.
  virtual void Information(const std::string& text) = 0;
  virtual void Error(const std::string& text) = 0;
  // An error box that ends with a yes/no `question`; true when the user answers Yes. By
  // default the error alone, answered No.
  virtual bool ErrorQuestion(const std::string& text, const std::string& question) {
    (void)question;
    Error(text);
    return false;
  }
  // A file-open dialog with the given filter ("description | pattern"); nothing when the
  // user cancels. `picturePreview` asks for the picture dialog.
  virtual std::optional<std::string> ChooseFile(const std::string& filter,
                                                bool picturePreview) = 0;

  // The picture dialog's answer: the file, and how a picture that is not black and white
  // already becomes dots (a fixed threshold 0..255, or nothing for dithering).
  struct PictureChoice {
    std::string path;
    std::optional<int> threshold;
  };
  // The picture dialog: a file-open dialog that previews the chosen file as it will print
  // on paper `paperDots` dots wide and offers the choice of dithering or a threshold. By
  // default the plain picture dialog of ChooseFile, with dithering.
  virtual std::optional<PictureChoice> ChoosePicture(const std::string& filter, int paperDots) {
    (void)paperDots;
    std::optional<std::string> path = ChooseFile(filter, true);
    if (!path) return std::nullopt;
    return PictureChoice{std::move(*path), std::nullopt};
  }
  // The recovery dialog, for a printer that waits in its bootloader: the port (one of
  // `ports` or another name), the printer's board (3 or 4; the bootloader cannot tell it)
  // and the firmware file (a file dialog with `filter`). Nothing when the user cancels;
  // by default the user always cancels.
  struct RecoveryChoice {
    std::string port;
    int board = 0;
    std::string path;
  };
  virtual std::optional<RecoveryChoice> ChooseRecovery(const std::vector<std::string>& ports,
                                                       const std::string& filter) {
    (void)ports;
    (void)filter;
    return std::nullopt;
  }
  // Shows a window of the program without waiting for it (the baud-rate dialog "TForm2").
  virtual void ShowModeless(const std::string& windowName) = 0;
};

}  // namespace zelka::form
