#include "form/main_form.h"

#include "form/control_table.h"

namespace zelka::form {

MainForm::MainForm(Dialogs& dialogs, printer::Worker& worker, Options options)
    : dialogs_(dialogs), worker_(worker), options_(std::move(options)) {
  BuildControls();
  InstallDisplayRules();
  RegisterDiscoveryHandlers(*this);
  RegisterServiceHandlers(*this);
  RegisterGraphicsHandlers(*this);
  RegisterFirmwareHandlers(*this);
}

MainForm::~MainForm() = default;

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

std::string MainForm::PortTip(const std::string& port) const {
  const PortDetails details = options_.portDetails(port);
  std::string tip = details.description;
  if (!details.usbSerial.empty()) {
    if (!tip.empty()) tip += "\n";
    tip += Substitute(Tr(QT_TRANSLATE_NOOP("Window", "Серийный номер USB: %1"), kWindowContext),
                      {details.usbSerial});
  }
  return tip;
}

void MainForm::FormCreate() {
  std::vector<std::string> ports;
  if (options_.portSource) ports = options_.portSource();
  std::vector<std::string> tips;
  if (options_.portDetails) {
    for (const std::string& port : ports) tips.push_back(PortTip(port));
  }
  window_.SetItems("ComboBox1", std::move(ports), std::move(tips));
  window_.SetCaption("ComboBox1", QT_TRANSLATE_NOOP("Window", "Выбор порта"));
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

void MainForm::SetHandler(const std::string& name, Handler handler) {
  handlers_[name] = std::move(handler);
}

void MainForm::Post(Task task) {
  if (options_.post) {
    options_.post(std::move(task));
  } else {
    task();
  }
}

void MainForm::RunJob(std::function<void(printer::Session&)> job, std::function<void()> done) {
  RunJob<bool>(
      [job = std::move(job)](printer::Session& session) {
        job(session);
        return true;
      },
      [done = std::move(done)](bool) {
        if (done) done();
      });
}

void MainForm::BeginJob() {
  if (jobs_++ == 0) window_.SetBusy(true);
}

void MainForm::EndJob() {
  if (--jobs_ == 0) window_.SetBusy(false);
}

void MainForm::ShowSearchResult(const discovery::SearchResult& result) {
  Post([this, result] { ApplySearchResult(result); });
}

void MainForm::ShowIdentifyStep(discovery::Step step, const discovery::Identity& identity) {
  Post([this, step, identity] { ApplyIdentifyStep(step, identity); });
}

void MainForm::ShowSerialTitle(const std::string& caption) {
  Post([this, caption] { window_.SetCaption("Label5", caption); });
}

}  // namespace zelka::form
