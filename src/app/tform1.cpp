#include "app/tform1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>

#include "app/language.h"
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
  setWindowTitle(QCoreApplication::translate(form::kWindowContext, form::kBaudDialogCaption));
  setFont(WindowFont(font()));
  setFixedSize(form::kBaudDialogClientWidth, form::kBaudDialogClientHeight);
  setModal(false);
  binding_ = new WidgetBinding(form, this, form::BaudDialogControls(), "TForm2.");
}

TForm1::TForm1(form::Dialogs& dialogs, printer::Worker& worker, form::MainForm::Options options)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      form_(std::make_unique<form::MainForm>(dialogs, worker, WithPost(std::move(options)))) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QCoreApplication::translate(form::kWindowContext, form::kMainCaption));
  setFont(WindowFont(font()));
  setFixedSize(form::kMainClientWidth, form::kMainClientHeight);
  binding_ = new WidgetBinding(*form_, this, form::MainWindowControls(), "");
  form2_ = new TForm2(*form_, this);
  form2_->hide();

  // State changes reach the widgets on this window's thread: directly from it, queued
  // from any other.
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

form::MainForm::Options TForm1::WithPost(form::MainForm::Options options) {
  // Tasks from the printer worker (a job's progress and result) run on this window's
  // thread in the order they were posted; once the window is gone they are dropped.
  options.post = [self = QPointer<TForm1>(this)](form::MainForm::Task task) {
    if (!self) return;
    QMetaObject::invokeMethod(
        self.data(), [self, task = std::move(task)] {
          if (self) task();
        },
        Qt::QueuedConnection);
  };
  // Message boxes speak the application's language (app/language.h).
  if (!options.translate) options.translate = QtTranslator();
  return options;
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (form_->UpdatingFirmware()) {
    const auto answer = QMessageBox::question(
        this, windowTitle(),
        QCoreApplication::translate("TForm1",
                                    "Идёт обновление прошивки. Если прервать его, принтер "
                                    "останется в загрузчике до следующего обновления. Прервать "
                                    "и закрыть программу?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
      event->ignore();
      return;
    }
  }
  event->accept();
}

}  // namespace zelka::app
