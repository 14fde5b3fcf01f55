#include "app/recovery_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace zelka::app {

namespace {

// The boards the program can flash.
constexpr int kBoards[] = {3, 4};

}  // namespace

RecoveryDialog::RecoveryDialog(QWidget* parent, const std::vector<std::string>& ports, QString filter)
    : QDialog(parent), filter_(std::move(filter)) {
  setObjectName(QStringLiteral("RecoveryDialog"));
  setWindowTitle(QCoreApplication::translate("RecoveryDialog", "Восстановление прошивки"));
  port_ = new QComboBox(this);
  port_->setObjectName(QStringLiteral("RecoveryPort"));
  port_->setEditable(true);
  for (const std::string& port : ports) port_->addItem(QString::fromStdString(port));
  board_ = new QComboBox(this);
  board_->setObjectName(QStringLiteral("RecoveryBoard"));
  for (int board : kBoards) board_->addItem(QString::number(board), board);
  file_ = new QLineEdit(this);
  file_->setObjectName(QStringLiteral("RecoveryFile"));
  file_->setMinimumWidth(280);
  auto* browse = new QPushButton(QCoreApplication::translate("RecoveryDialog", "Обзор…"), this);
  browse->setObjectName(QStringLiteral("RecoveryBrowse"));
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(browse);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* form = new QFormLayout(this);
  form->addRow(QCoreApplication::translate("RecoveryDialog", "Порт:"), port_);
  form->addRow(QCoreApplication::translate("RecoveryDialog", "Версия платы:"), board_);
  form->addRow(QCoreApplication::translate("RecoveryDialog", "Файл прошивки:"), fileRow);
  form->addRow(buttons_);

  connect(browse, &QPushButton::clicked, this, &RecoveryDialog::ChooseFile);
  connect(file_, &QLineEdit::textChanged, this, &RecoveryDialog::UpdateOk);
  connect(port_, &QComboBox::currentTextChanged, this, &RecoveryDialog::UpdateOk);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  UpdateOk();
}

form::Dialogs::RecoveryChoice RecoveryDialog::Choice() const {
  return {port_->currentText().trimmed().toStdString(), board_->currentData().toInt(),
          file_->text().toStdString()};
}

void RecoveryDialog::ChooseFile() {
  const QString name = QFileDialog::getOpenFileName(this, QString(), QString(), filter_);
  if (!name.isEmpty()) file_->setText(name);
}

void RecoveryDialog::UpdateOk() {
  buttons_->button(QDialogButtonBox::Ok)
      ->setEnabled(!port_->currentText().trimmed().isEmpty() && !file_->text().isEmpty());
}

}  // namespace zelka::app
