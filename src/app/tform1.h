// The main window: TForm1's widgets over the toolkit-free MainForm, and the baud-rate
// dialog TForm2.
#pragma once

#include <QDialog>
#include <QWidget>

#include <memory>

#include "app/qt_dialogs.h"
#include "app/widget_binding.h"
#include "form/main_form.h"

namespace zelka::app {

class TForm2 : public QDialog {
  Q_OBJECT
 public:
  TForm2(form::MainForm& form, QWidget* parent);
  WidgetBinding& Binding() { return *binding_; }

 private:
  WidgetBinding* binding_;
};

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // `dialogs` shows the message boxes; tests pass one that records them.
  // `worker` runs the window's printer jobs; it must be stopped before the window goes.
  TForm1(form::Dialogs& dialogs, printer::Worker& worker, form::MainForm::Options options);
  ~TForm1() override;

  form::MainForm& Form() { return *form_; }
  TForm2& Form2() { return *form2_; }
  WidgetBinding& Binding() { return *binding_; }

 protected:
  // During a firmware update the user confirms first: an update cut short leaves the
  // printer in its bootloader.
  void closeEvent(QCloseEvent* event) override;

 private:
  form::MainForm::Options WithPost(form::MainForm::Options options);

  std::unique_ptr<form::MainForm> form_;
  WidgetBinding* binding_ = nullptr;
  TForm2* form2_ = nullptr;
};

}  // namespace zelka::app
