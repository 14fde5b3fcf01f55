#include "discovery/manual_connection.h"

#include "link/link_lock.h"
#include "link/serial_link.h"

namespace zelka::discovery {

using namespace zelka::link;

namespace {

constexpr int kReadTimeoutMs = 1000;

// The printer controls manual connection enables, in this order. Not Button21, Button24
// or the paper-width buttons: nothing has been read from the printer.
constexpr const char* kEnabledByManualConnection[] = {
    "Button1", "Button2", "Button3", "Button4", "Button22", "Button6",
    "Button8", "Button9", "Button10", "Button12", "Button13", "Button14",
    "Button15", "Button16", "Button17", "Button18", "Button19"};

}  // namespace

void Button11Click(seams::Context& context) {
  seams::WindowState& window = context.window;
  const int index = window.SelectedIndex("ComboBox1");
  const auto items = window.Items("ComboBox1");
  if (index < 0 || index >= static_cast<int>(items.size())) return;
  const std::string port = items[static_cast<std::size_t>(index)];

  PrinterOperation operation;
  OpenPort(port, CurrentBaud, kReadTimeoutMs);
  context.dialogs.Information("Принтер чеков найден на " + port + " на скорости " +
                              std::to_string(CurrentBaud));
  CurrentPortName = port;
  for (const char* name : kEnabledByManualConnection) window.SetEnabled(name, true);
  ClosePort();
}

void UpdateManualConnectionButton(seams::WindowState& window) {
  window.SetEnabled("Button11", window.SelectedIndex("ComboBox1") >= 0);
}

}  // namespace zelka::discovery
