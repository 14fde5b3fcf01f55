// The picture dialog: Qt's own file dialog (not the system's, which takes no widgets)
// with the chosen file shown beside the list as it will print, dot for dot, on the
// window's paper, and the choice between dithering and a fixed threshold. The preview is
// loaded off the window's thread (preview_loader.h) and shows when it is ready.
#pragma once

#include <QFileDialog>
#include <QString>

#include <optional>

class QCheckBox;
class QLabel;
class QSpinBox;

namespace zelka::app {

class PreviewLoader;
struct Preview;

class PictureFileDialog final : public QFileDialog {
 public:
  PictureFileDialog(QWidget* parent, const QString& nameFilter, int paperDots);

  // The user's choice: a threshold 0..255, or nothing for dithering.
  std::optional<int> Threshold() const;

 private:
  void ShowPreview();
  void Show(const Preview& preview);

  int paperDots_;
  QString current_;
  QLabel* preview_ = nullptr;
  QLabel* caption_ = nullptr;
  QCheckBox* thresholdBox_ = nullptr;
  QSpinBox* thresholdSpin_ = nullptr;
  PreviewLoader* loader_ = nullptr;
};

}  // namespace zelka::app
