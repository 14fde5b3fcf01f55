// Shows window state in real widgets and feeds the user's input back into it.
//
// Every control of a table becomes a widget (object name = control name). A change of
// the state is applied to its widget on the widget's thread: at once when the change
// comes from that thread, queued when it comes from another one (a remote request), so a
// remote request never waits for the window.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

#include "form/control_table.h"
#include "form/main_form.h"

namespace zelka::app {

class WidgetBinding : public QObject {
  Q_OBJECT

 public:
  // `prefix` names the controls in the state ("TForm2." for the dialog, "" for TForm1).
  WidgetBinding(form::MainForm& form, QWidget* window, const std::vector<form::ControlSpec>& specs,
                std::string prefix);

  QWidget* Widget(const std::string& name) const;
  // Applies the state of `stateName` to its widget (kBusyChange: the busy state to every
  // widget); other names are ignored.
  void Apply(const std::string& stateName);

 private:
  QWidget* Create(const form::ControlSpec& control, QWidget* parent);
  void Connect(const form::ControlSpec& control, QWidget* widget);
  void ApplyBusy();

  form::MainForm& form_;
  std::string prefix_;
  std::map<std::string, QPointer<QWidget>> widgets_;  // by state name
  std::map<std::string, form::ControlKind> kinds_;
};

}  // namespace zelka::app
