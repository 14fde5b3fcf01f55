// Dialogs for runs with nobody at the screen (benchmarks, picture and screenshot tools):
// every box is answered at once, the file dialog returns a preset answer.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "form/dialogs.h"

namespace zelka::form {

class UnattendedDialogs final : public Dialogs {
 public:
  // Called with ("information" | "error", text) for every box; empty = ignore them.
  using Echo = std::function<void(const std::string& kind, const std::string& text)>;

  explicit UnattendedDialogs(std::optional<std::string> fileAnswer = std::nullopt, Echo echo = {})
      : fileAnswer_(std::move(fileAnswer)), echo_(std::move(echo)) {}

  void Information(const std::string& text) override { Show("information", text); }
  void Error(const std::string& text) override {
    lastError = text;
    Show("error", text);
  }
  std::optional<std::string> ChooseFile(const std::string&, bool) override { return fileAnswer_; }
  void ShowModeless(const std::string&) override {}

  std::string lastError;

 private:
  void Show(const char* kind, const std::string& text) {
    if (echo_) echo_(kind, text);
  }
  std::optional<std::string> fileAnswer_;
  Echo echo_;
};

}  // namespace zelka::form
