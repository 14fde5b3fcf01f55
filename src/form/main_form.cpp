#include "form/main_form.h"

#include "commands/catalogue.h"
#include "form/control_table.h"
#include "link/link_lock.h"
#include "link/serial_link.h"

namespace zelka::form {

MainForm::MainForm(seams::Dialogs& dialogs, Options options)
    : context_{window_, dialogs}, options_(std::move(options)) {
  BuildControls();
  InstallDisplayRules();
  RegisterDiscoveryHandlers(*this);
  RegisterServiceHandlers(*this);
  RegisterGraphicsHandlers(*this);
  RegisterFirmwareHandlers(*this);
}

void MainForm::BuildControls() {
  for (const ControlSpec& control : MainWindowControls()) window_.AddControl(control.name, control.state);
  for (const ControlSpec& control : BaudDialogControls()) {
    window_.AddControl("TForm2." + control.name, control.state);
  }
}

void MainForm::InstallDisplayRules() {
  // The track bars' display handlers: the edit box shows the value as a percentage.
  window_.SetChangeAction("TrackBar1", [this] {
    window_.SetCaption("Edit1", std::to_string(2 * window_.Position("TrackBar1")));
  });
  window_.SetChangeAction("TrackBar2", [this] {
    window_.SetCaption("Edit2", std::to_string(window_.Position("TrackBar2")));
  });
}

void MainForm::FormCreate() {
  std::vector<std::string> ports;
  if (options_.portSource) ports = options_.portSource();
  window_.SetItems("ComboBox1", std::move(ports));
  window_.SetCaption("ComboBox1", "Выбор порта");
  window_.SetCaption("Edit1", std::to_string(2 * window_.Position("TrackBar1")));
  window_.SetCaption("Edit2", std::to_string(window_.Position("TrackBar2")));
  if (options_.startRemoteService) options_.startRemoteService();
}

void MainForm::Click(const std::string& name) {
  auto it = handlers_.find(name);
  if (it == handlers_.end()) return;
  Handler handler = it->second;
  handler();
}

bool MainForm::HasHandler(const std::string& name) const { return handlers_.count(name) != 0; }

void MainForm::SetHandler(const std::string& name, Handler handler) {
  handlers_[name] = std::move(handler);
}

void MainForm::AutoDetectPrinter(int AMode, discovery::RecordWriter* AContext) {
  discovery::AutoDetectPrinter(context_, AMode, AContext);
}

}  // namespace zelka::form

namespace zelka::form {

void MainForm::ChangePrinterBaudRate(int rate) {
  constexpr int kReadTimeoutMs = 5000;
  link::PrinterOperation operation;
  link::OpenPort(link::CurrentPortName, link::CurrentBaud, kReadTimeoutMs);
  commands::SendPrinterBaudRate(rate);
  link::ClosePort();
  // Taken whatever happened: from now on every operation opens at the new rate.
  link::CurrentBaud = rate;
}

}  // namespace zelka::form
