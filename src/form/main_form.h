// TForm1 without its widgets: the main window's controls as window state, its creation
// handler FormCreate, and the click handlers of its buttons, which hand printer jobs to
// the printer worker and turn their results into captions, colours, enabled states and
// message boxes. The front end (app/) renders the state and forwards the user's clicks;
// tests drive it directly or through the real window.
//
// Thread-safety: everything here runs on the window's thread, except the Show* calls,
// which a remote client's job makes on the worker's thread: they post to the window's
// thread. No call here waits for the printer.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "discovery/identity.h"
#include "discovery/search.h"
#include "form/dialogs.h"
#include "form/translation.h"
#include "form/window_state.h"
#include "printer/worker.h"

namespace zelka::form {

// What the system knows of a serial port, shown beside its name so that a technician
// with several adapters can tell them apart.
struct PortDetails {
  std::string description;  // the system's words for the device
  std::string usbSerial;    // the USB adapter's serial number
};

class MainForm {
 public:
  using Task = std::function<void()>;
  struct Options {
    // The serial ports that ComboBox1 lists; read at creation and before every search.
    std::function<std::vector<std::string>()> portSource;
    // What the system tells of a port that portSource just listed, for the item's
    // tooltip; empty = no tooltips.
    std::function<PortDetails(const std::string& port)> portDetails;
    // Starts the remote query service; FormCreate calls it every time, so it must be
    // harmless when the service already listens. Empty = no service.
    std::function<void()> startRemoteService;
    // Runs a task on the window's thread after the tasks posted before it; called from
    // any thread. Empty: the task runs at once on the calling thread (only for callers
    // that are on the window's thread themselves).
    std::function<void(Task)> post;
    // Turns the window's Russian texts into the user's language (form/translation.h);
    // empty = Russian.
    Translator translate;
  };
  using Handler = std::function<void()>;

  MainForm(Dialogs& dialogs, printer::Worker& worker, Options options);
  ~MainForm();
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  WindowState& Window() { return window_; }
  Dialogs& Dialog() { return dialogs_; }
  printer::Worker& Worker() { return worker_; }
  // A message box text or a file filter in the user's language (kMessagesContext unless
  // told); the state's captions stay Russian, the front end translates them as it shows
  // them.
  std::string Tr(const char* source, const char* context = kMessagesContext) const {
    return Translate(options_.translate, context, source);
  }
  const Translator& Translation() const { return options_.translate; }

  // Fills the port list anew, rewrites the track bars' edit boxes, starts the service.
  // Safe to run any number of times.
  void FormCreate();
  // Runs the click handler of the named control (a button of the window or the dialog,
  // e.g. "Button7" or "TForm2.Button1"); unknown names do nothing.
  void Click(const std::string& name);
  // A printer job of the window is queued or running (or waits for the user between
  // two of its parts).
  bool Busy() const { return jobs_ > 0; }
  // A firmware update is under way.
  bool UpdatingFirmware() const { return updatingFirmware_; }

  // The port list as ComboBox1 holds it (any thread).
  std::vector<std::string> ListedPorts() const { return window_.Items("ComboBox1"); }

  // What a remote client's search shows in the window (called on the worker's thread).
  void ShowSearchResult(const discovery::SearchResult& result);
  void ShowIdentifyStep(discovery::Step step, const discovery::Identity& identity);
  // The remote commands "3", "4", "5": the caption of the serial number's title.
  void ShowSerialTitle(const std::string& caption);

  // --- for the handlers (form/*_handlers.cpp) ---
  void SetHandler(const std::string& name, Handler handler);
  // Runs `job` on the printer worker; `done` gets its result on the window's thread.
  // The printer controls are disabled from now until `done` has run (and whatever job
  // `done` starts in turn has ended).
  template <typename Result>
  void RunJob(std::function<Result(printer::Session&)> job, std::function<void(Result)> done);
  void RunJob(std::function<void(printer::Session&)> job, std::function<void()> done = {});
  // Posts `task` to the window's thread (any thread).
  void Post(Task task);
  // Changes made while applying a job's result: a radio button checked here runs no
  // click action (the job did what the action would do).
  class Applying;
  bool ApplyingResult() const { return applying_ > 0; }
  void SetUpdatingFirmware(bool updating) { updatingFirmware_ = updating; }

  // Shared by the window's own search and a remote one.
  void ApplySearchResult(const discovery::SearchResult& result);
  void ApplyIdentifyStep(discovery::Step step, const discovery::Identity& identity);
  void ApplyPaperWidth(std::optional<service::PaperWidth> reported);

 private:
  void BuildControls();
  std::string PortTip(const std::string& port) const;
  void InstallDisplayRules();
  void BeginJob();
  void EndJob();

  WindowState window_;
  Dialogs& dialogs_;
  printer::Worker& worker_;
  Options options_;
  std::map<std::string, Handler> handlers_;
  int jobs_ = 0;
  int applying_ = 0;
  bool updatingFirmware_ = false;
};

class MainForm::Applying {
 public:
  explicit Applying(MainForm& form) : form_(form) { ++form_.applying_; }
  ~Applying() { --form_.applying_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;

 private:
  MainForm& form_;
};

template <typename Result>
void MainForm::RunJob(std::function<Result(printer::Session&)> job,
                      std::function<void(Result)> done) {
  BeginJob();
  worker_.Submit([this, job = std::move(job), done = std::move(done)](printer::Session& session) {
    auto result = std::make_shared<Result>(job(session));
    Post([this, done, result] {
      if (done) done(std::move(*result));
      EndJob();
    });
  });
}

// Each subsystem registers its window handlers here.
void RegisterDiscoveryHandlers(MainForm& form);
void RegisterServiceHandlers(MainForm& form);
void RegisterGraphicsHandlers(MainForm& form);
void RegisterFirmwareHandlers(MainForm& form);

// Flashes a printer that waits in its bootloader, from the port, board and file the user
// picks in the recovery dialog, with the firmware update's bar and messages.
void RecoverFirmware(MainForm& form);

}  // namespace zelka::form
