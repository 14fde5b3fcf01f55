#include "app/tform1.h"

#include <QMetaObject>
#include <QPointer>

#include "form/control_table.h"

namespace zelka::app {

namespace {

// Tahoma where the system has it; else the sans fonts closest to its width.
QFont WindowFont(const QFont& base) {
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(form::kFontPixelHeight);
  return font.resolve(base);
}

}  // namespace

TForm2::TForm2(form::MainForm& form, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(QString::fromUtf8(form::kBaudDialogCaption));
  setFont(WindowFont(font()));
  setFixedSize(form::kBaudDialogClientWidth, form::kBaudDialogClientHeight);
  setModal(false);
  binding_ = new WidgetBinding(form, this, form::BaudDialogControls(), "TForm2.");
}

TForm1::TForm1(seams::Dialogs& dialogs, form::MainForm::Options options)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      form_(std::make_unique<form::MainForm>(dialogs, std::move(options))) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QString::fromUtf8(form::kMainCaption));
  setFont(WindowFont(font()));
  setFixedSize(form::kMainClientWidth, form::kMainClientHeight);
  binding_ = new WidgetBinding(*form_, this, form::MainWindowControls(), "");
  form2_ = new TForm2(*form_, this);
  form2_->hide();

  // State changes reach the widgets on this window's thread: directly from it, queued
  // from a remote client's thread (which never waits for us).
  QPointer<TForm1> self(this);
  form_->Window().SetObserver([self](const std::string& name) {
    if (!self) return;
    QMetaObject::invokeMethod(self.data(), [self, name] {
      if (!self) return;
      self->binding_->Apply(name);
      self->form2_->Binding().Apply(name);
    }, Qt::AutoConnection);
  });
  form_->FormCreate();
}

TForm1::~TForm1() { form_->Window().SetObserver({}); }

}  // namespace zelka::app
