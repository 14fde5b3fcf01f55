// Message boxes and file dialogs with real Qt widgets.
#pragma once

#include <QPointer>
#include <QWidget>

#include <map>

#include "form/dialogs.h"

namespace zelka::app {

class QtDialogs final : public form::Dialogs {
 public:
  void SetMainWindow(QWidget* window) { main_ = window; }
  void AddWindow(const std::string& name, QWidget* window) { windows_[name] = window; }

  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  bool ErrorQuestion(const std::string& text, const std::string& question) override;
  std::optional<RecoveryChoice> ChooseRecovery(const std::vector<std::string>& ports,
                                               const std::string& filter) override;
  std::optional<std::string> ChooseFile(const std::string& filter, bool picturePreview) override;
  std::optional<PictureChoice> ChoosePicture(const std::string& filter, int paperDots) override;
  void ShowModeless(const std::string& windowName) override;

 private:
  QPointer<QWidget> main_;
  std::map<std::string, QPointer<QWidget>> windows_;
};

}  // namespace zelka::app
