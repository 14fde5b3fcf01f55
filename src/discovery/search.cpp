#include "discovery/auto_detect.h"

#include "commands/catalogue.h"
#include "discovery/identification.h"
#include "link/link_lock.h"

namespace zelka::discovery {

using namespace zelka::link;

namespace {

constexpr int kProbeReadTimeoutMs = 300;
constexpr const char* kFoundMessageHead = "Принтер чеков найден на ";
constexpr const char* kFoundMessageRate = " на скорости ";

// The printer controls that a search which finds a printer enables, in this order.
constexpr const char* kEnabledByTheSearch[] = {
    "Button1", "Button2", "Button3", "Button4", "Button6", "Button8", "Button9",
    "Button10", "Button12", "Button13", "Button19", "Button21", "Button22"};

// One probe: any single byte in reply to GS r 1 means a printer.
bool Probe(const std::string& port, int baud) {
  OpenPort(port, baud, kProbeReadTimeoutMs);
  return commands::QueryPaperSensor() == kOk;
}

void TakeFoundPort(seams::Context& context, int AMode, int index, const std::string& port,
                   int baud) {
  seams::WindowState& window = context.window;
  // Checked while CurrentPortName is still "0": its paper-width action finds no printer
  // and sends nothing.
  window.SetChecked("RadioButton80mm", true);
  CurrentPortName = port;
  for (const char* name : kEnabledByTheSearch) window.SetEnabled(name, true);
  window.SetSelectedIndex("ComboBox1", index);
  if (AMode == kWindowRequest) {
    context.dialogs.Information(kFoundMessageHead + port + kFoundMessageRate +
                                std::to_string(baud));
  }
}

void Search(seams::Context& context, int AMode) {
  CurrentPortName = kNoPort;
  for (int baud : BaudScanTable) {
    // The items are read again before every probe: the list may change meanwhile.
    for (std::size_t index = 0;; ++index) {
      const auto items = context.window.Items("ComboBox1");
      if (index >= items.size()) break;
      const std::string& port = items[index];
      if (Probe(port, baud)) {
        TakeFoundPort(context, AMode, static_cast<int>(index), port, baud);
        ClosePort();
        return;
      }
      ClosePort();
    }
  }
}

}  // namespace

void AutoDetectPrinter(seams::Context& context, int AMode, RecordWriter* AContext) {
  PrinterOperation operation;
  Search(context, AMode);
  if (CurrentPortName != kNoPort && !CurrentPortName.empty()) {
    IdentifyPrinter(context, AMode, AContext);
  }
}

}  // namespace zelka::discovery
