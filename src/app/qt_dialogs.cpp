#include "app/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "app/picture_file_dialog.h"
#include "app/recovery_dialog.h"
#include "graphics/picture_options.h"

namespace zelka::app {

namespace {

// "Описание (*.bmp) | *.BMP": the part after the bar is the pattern. File names on the
// users' PCs ignore case, so the pattern is offered in both cases.
QString QtFilter(const std::string& filter) {
  const QString text = QString::fromStdString(filter);
  const int bar = text.indexOf('|');
  if (bar < 0) return text;
  const QString description = text.left(bar).trimmed();
  const QString pattern = text.mid(bar + 1).trimmed();
  return description + " (" + pattern.toLower() + " " + pattern.toUpper() + ")";
}

}  // namespace

void QtDialogs::Information(const std::string& text) {
  QMessageBox box(QMessageBox::Information, QApplication::applicationName(),
                  QString::fromStdString(text), QMessageBox::Ok, main_);
  box.exec();
}

void QtDialogs::Error(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                  QString::fromStdString(text), QMessageBox::Ok, main_);
  box.exec();
}

bool QtDialogs::ErrorQuestion(const std::string& text, const std::string& question) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                  QString::fromStdString(text + "\n\n" + question), QMessageBox::Yes | QMessageBox::No,
                  main_);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<form::Dialogs::RecoveryChoice> QtDialogs::ChooseRecovery(
    const std::vector<std::string>& ports, const std::string& filter) {
  RecoveryDialog dialog(main_, ports, QtFilter(filter));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

std::optional<std::string> QtDialogs::ChooseFile(const std::string& filter, bool picturePreview) {
  if (picturePreview) {
    std::optional<PictureChoice> choice = ChoosePicture(filter, graphics::kPaperDots80mm);
    if (!choice) return std::nullopt;
    return std::move(choice->path);
  }
  const QString name = QFileDialog::getOpenFileName(main_, QString(), QString(), QtFilter(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

std::optional<form::Dialogs::PictureChoice> QtDialogs::ChoosePicture(const std::string& filter,
                                                                     int paperDots) {
  PictureFileDialog dialog(main_, QtFilter(filter), paperDots);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString name = dialog.selectedFiles().constFirst();
  if (name.isEmpty()) return std::nullopt;
  return PictureChoice{name.toStdString(), dialog.Threshold()};
}

void QtDialogs::ShowModeless(const std::string& windowName) {
  auto it = windows_.find(windowName);
  if (it == windows_.end() || !it->second) return;
  it->second->show();
  it->second->raise();
}

}  // namespace zelka::app
