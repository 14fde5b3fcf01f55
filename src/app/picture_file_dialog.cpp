#include "app/picture_file_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/language.h"
#include "app/preview_loader.h"
#include "graphics/messages.h"
#include "graphics/one_bit_bitmap.h"
#include "graphics/picture_print.h"

namespace zelka::app {

namespace {

// Room for the preview beside the list: a 57 mm picture (384 dots) whole, a wider one
// scrolls.
constexpr int kPreviewWidth = 400;
constexpr int kPreviewHeight = 360;

}  // namespace

PictureFileDialog::PictureFileDialog(QWidget* parent, const QString& nameFilter, int paperDots)
    : QFileDialog(parent), paperDots_(paperDots) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  setNameFilter(nameFilter);

  auto* side = new QWidget(this);
  auto* column = new QVBoxLayout(side);
  column->setContentsMargins(0, 0, 0, 0);
  preview_ = new QLabel(side);
  preview_->setObjectName(QStringLiteral("preview"));
  preview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  preview_->setBackgroundRole(QPalette::Base);
  auto* scroll = new QScrollArea(side);
  scroll->setWidget(preview_);
  scroll->setWidgetResizable(false);
  scroll->setMinimumSize(kPreviewWidth, kPreviewHeight);
  caption_ = new QLabel(side);
  caption_->setObjectName(QStringLiteral("previewCaption"));
  caption_->setWordWrap(true);
  caption_->setMaximumWidth(kPreviewWidth);
  thresholdBox_ = new QCheckBox(
      QCoreApplication::translate("PictureFileDialog", "Пороговое преобразование"), side);
  thresholdSpin_ = new QSpinBox(side);
  thresholdSpin_->setRange(0, 255);
  thresholdSpin_->setValue(graphics::kDefaultThreshold);
  thresholdSpin_->setEnabled(false);
  auto* thresholdRow = new QHBoxLayout;
  thresholdRow->addWidget(thresholdBox_);
  thresholdRow->addWidget(thresholdSpin_);
  thresholdRow->addStretch();
  column->addWidget(scroll, 1);
  column->addWidget(caption_);
  column->addLayout(thresholdRow);

  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(side, 0, grid->columnCount(), grid->rowCount(), 1);
  } else if (layout()) {
    layout()->addWidget(side);
  }

  loader_ = new PreviewLoader(this, [this](const Preview& preview) { Show(preview); });
  connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
    current_ = path;
    ShowPreview();
  });
  connect(thresholdBox_, &QCheckBox::toggled, this, [this](bool on) {
    thresholdSpin_->setEnabled(on);
    ShowPreview();
  });
  connect(thresholdSpin_, &QSpinBox::valueChanged, this, [this] { ShowPreview(); });
}

std::optional<int> PictureFileDialog::Threshold() const {
  if (!thresholdBox_->isChecked()) return std::nullopt;
  return thresholdSpin_->value();
}

void PictureFileDialog::ShowPreview() {
  preview_->clear();
  caption_->clear();
  preview_->adjustSize();
  if (current_.isEmpty() || !QFileInfo(current_).isFile()) {
    loader_->Cancel();
    return;
  }
  caption_->setText(QCoreApplication::translate("PictureFileDialog", "Чтение рисунка…"));
  // The same load as the print: a file that would be refused says why here already.
  loader_->Request(current_.toStdString(), {.paperDots = paperDots_, .threshold = Threshold()});
}

void PictureFileDialog::Show(const Preview& preview) {
  if (preview.error != graphics::BitmapError::kNone) {
    preview_->clear();
    caption_->setText(QString::fromStdString(
        graphics::BitmapErrorText(preview.error, graphics::kPictureBufferSize, QtTranslator())));
  } else {
    preview_->setPixmap(QPixmap::fromImage(preview.dots));
    caption_->setText(QCoreApplication::translate("PictureFileDialog", "%1 × %2 точек")
                          .arg(preview.dots.width())
                          .arg(preview.dots.height()));
  }
  preview_->adjustSize();
}

}  // namespace zelka::app
