// Dialogs that record what the program shows and answer file choices from a script.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "form/dialogs.h"

namespace zelka::testing {

class FakeDialogs final : public form::Dialogs {
 public:
  struct Shown {
    std::string kind;  // "information", "error", "modeless"
    std::string text;
    bool operator==(const Shown&) const = default;
  };

  void Information(const std::string& text) override { Record({"information", text}); }
  void Error(const std::string& text) override { Record({"error", text}); }
  // Recorded as the error it is; the question is kept apart and answered from
  // questionAnswers (No when none is left).
  bool ErrorQuestion(const std::string& text, const std::string& question) override {
    {
      std::lock_guard lock(mutex_);
      questions.push_back(question);
    }
    Record({"error", text});
    std::lock_guard lock(mutex_);
    if (questionAnswers.empty()) return false;
    const bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
  }
  // The recovery dialog: answered from recoveryAnswers (cancelled when none is left); the
  // ports it listed are kept.
  std::optional<RecoveryChoice> ChooseRecovery(const std::vector<std::string>& ports,
                                               const std::string& filter) override {
    std::lock_guard lock(mutex_);
    recoveryPorts = ports;
    filters.push_back(filter);
    if (recoveryAnswers.empty()) return std::nullopt;
    auto answer = recoveryAnswers.front();
    recoveryAnswers.pop_front();
    return answer;
  }
  std::optional<std::string> ChooseFile(const std::string& filter, bool picturePreview) override {
    std::lock_guard lock(mutex_);
    filters.push_back(filter);
    previews.push_back(picturePreview);
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
  // The picture dialog: answered from fileAnswers like ChooseFile (recorded there too),
  // with thresholdAnswer as the user's choice; the paper width it was shown for is kept.
  std::optional<PictureChoice> ChoosePicture(const std::string& filter, int paperDots) override {
    std::optional<std::string> path = ChooseFile(filter, true);
    std::lock_guard lock(mutex_);
    pictureDots.push_back(paperDots);
    if (!path) return std::nullopt;
    return PictureChoice{*path, thresholdAnswer};
  }
  void ShowModeless(const std::string& windowName) override {
    Record({"modeless", windowName});
    if (onModeless) onModeless(windowName);
  }

  std::vector<Shown> Messages() const {
    std::lock_guard lock(mutex_);
    return shown;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    shown.clear();
  }
  std::vector<std::string> Texts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& s : shown) texts.push_back(s.text);
    return texts;
  }

  // Answers for ChooseFile, in order; nothing = the user cancels.
  std::deque<std::optional<std::string>> fileAnswers;
  std::vector<std::string> filters;
  std::vector<bool> previews;
  std::vector<int> pictureDots;          // paper widths the picture dialog was shown for
  std::optional<int> thresholdAnswer;    // the picture dialog's threshold (nothing: dithering)
  std::vector<std::string> questions;    // the questions of ErrorQuestion, in order
  std::deque<bool> questionAnswers;
  std::vector<std::string> recoveryPorts;
  std::deque<std::optional<RecoveryChoice>> recoveryAnswers;
  int repaints = 0;
  // Called while a message is "on screen" (e.g. to look at the port while a box is up).
  std::function<void(const Shown&)> onShow;
  // Called for a window to show without waiting (a window test shows it for real).
  std::function<void(const std::string&)> onModeless;

 private:
  void Record(Shown s) {
    {
      std::lock_guard lock(mutex_);
      shown.push_back(s);
    }
    if (onShow) onShow(s);
  }
  mutable std::mutex mutex_;
  std::vector<Shown> shown;
};

}  // namespace zelka::testing
