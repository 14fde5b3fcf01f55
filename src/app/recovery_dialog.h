// The recovery dialog: the port, the board and the firmware file for a printer that
// waits in its bootloader. The bootloader cannot tell its board, so the user names it.
#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "form/dialogs.h"

class QComboBox;
class QDialogButtonBox;
class QLineEdit;

namespace zelka::app {

class RecoveryDialog final : public QDialog {
 public:
  // `ports` fill the port list (another name may be typed); `filter` is the file
  // dialog's, as Qt takes it.
  RecoveryDialog(QWidget* parent, const std::vector<std::string>& ports, QString filter);

  // The user's choice once the dialog was accepted.
  form::Dialogs::RecoveryChoice Choice() const;

 private:
  void ChooseFile();
  void UpdateOk();

  QString filter_;
  QComboBox* port_ = nullptr;
  QComboBox* board_ = nullptr;
  QLineEdit* file_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace zelka::app
