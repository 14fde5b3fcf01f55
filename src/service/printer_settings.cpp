#include "service/printer_settings.h"

#include <chrono>

#include "commands/catalogue.h"
#include "link/link_lock.h"
#include "service/printer_port.h"

namespace zelka::service {

using namespace zelka::link;
using std::chrono::milliseconds;
using zelka::commands::Byte;

namespace {

constexpr milliseconds kSettingReadTimeoutMs{500};
constexpr milliseconds kBaudRateReadTimeoutMs{5000};

// The printer stores the cut line as 100 plus the track bar's position (0..50).
constexpr int kCutLineBase = 100;
constexpr int kButton5Baud = 9600;
constexpr int kNoChoiceBaud = 57600;

struct BaudChoice {
  const char* radioButton;
  int baud;
};
// In the order the dialog is read: the first checked button decides.
constexpr BaudChoice kBaudChoices[] = {
    {"TForm2.RadioButton1", 9600},
    {"TForm2.RadioButton2", 19200},
    {"TForm2.RadioButton3", 57600},
    {"TForm2.RadioButton4", 115200},
};

// US 0x03 n v over the printer's port; the printer's reply byte is not read.
void WriteSetting(Byte parameter, int value) {
  PrinterOperation operation;
  OpenPrinterPort(kSettingReadTimeoutMs);
  commands::SendParameterWrite(parameter, static_cast<Byte>(value));
  ClosePort();
}

}  // namespace

void Button15Click(seams::Context& context) {
  // The window state keeps the position within 0..50, so the value stays within 100..150.
  WriteSetting(commands::kParamCutLine, kCutLineBase + context.window.Position("TrackBar1"));
}

void Button16Click(seams::Context& context) {
  WriteSetting(commands::kParamDensity, context.window.Position("TrackBar2"));
}

void Button18Click(seams::Context&) {
  PrinterOperation operation;
  OpenPrinterPort(kSettingReadTimeoutMs);
  commands::SendFrame(commands::kSelectCodePage866);
  ClosePort();
}

void Button24Click(seams::Context& context) { context.dialogs.ShowModeless(kBaudDialogWindow); }

void Button5Click(seams::Context&) {
  PrinterOperation operation;
  OpenPrinterPort(kBaudRateReadTimeoutMs);
  commands::SendPrinterBaudRate(kButton5Baud);
  ClosePort();
}

int ChosenBaudRate(const seams::WindowState& window) {
  for (const BaudChoice& choice : kBaudChoices) {
    if (window.Checked(choice.radioButton)) return choice.baud;
  }
  return kNoChoiceBaud;
}

}  // namespace zelka::service
