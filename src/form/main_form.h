// TForm1 without its widgets: the main window's controls as window state, its creation
// handler FormCreate, and the click handlers of its buttons. The front end (app/) renders
// this and forwards the user's clicks; tests drive it directly or through the real window.
//
// Thread-safety: window handlers (Click) run on the window's thread; AutoDetectPrinter
// and the one-shot actions may also run on a remote client's thread. Each printer
// operation holds the link lock; the window state is thread-safe on its own.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "discovery/auto_detect.h"
#include "seams/context.h"
#include "seams/window_state.h"

namespace zelka::form {

class MainForm {
 public:
  struct Options {
    // The serial ports that ComboBox1 lists; read at creation and before every search.
    std::function<std::vector<std::string>()> portSource;
    // Starts the remote query service; FormCreate calls it every time, so it must be
    // harmless when the service already listens. Empty = no service.
    std::function<void()> startRemoteService;
  };
  using Handler = std::function<void()>;

  MainForm(seams::Dialogs& dialogs, Options options);
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  seams::WindowState& Window() { return window_; }
  seams::Context& Context() { return context_; }

  // Fills the port list anew, rewrites the track bars' edit boxes, starts the service.
  // Safe to run any number of times.
  void FormCreate();
  // Runs the click handler of the named control (a button of the window or the dialog,
  // e.g. "Button7" or "TForm2.Button1"); unknown names do nothing.
  void Click(const std::string& name);
  bool HasHandler(const std::string& name) const;

  // The search and identification (AMode 0 from the window, 1 from a remote client).
  void AutoDetectPrinter(int AMode, discovery::RecordWriter* AContext);
  // Sends the new rate to the printer and takes it as CurrentBaud (the baud-rate dialog).
  void ChangePrinterBaudRate(int rate);

  // Handlers are registered per subsystem (see the register_*.cpp files).
  void SetHandler(const std::string& name, Handler handler);

 private:
  void BuildControls();
  void InstallDisplayRules();

  seams::WindowState window_;
  seams::Context context_;
  Options options_;
  std::map<std::string, Handler> handlers_;
};

// Each subsystem registers its window handlers here.
void RegisterDiscoveryHandlers(MainForm& form);
void RegisterServiceHandlers(MainForm& form);
void RegisterGraphicsHandlers(MainForm& form);
void RegisterFirmwareHandlers(MainForm& form);

}  // namespace zelka::form
