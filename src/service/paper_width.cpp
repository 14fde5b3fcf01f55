#include "service/paper_width.h"

#include "commands/catalogue.h"
#include "link/link_lock.h"
#include "link/serial_link.h"

namespace zelka::service {

using namespace zelka::link;
using zelka::commands::Byte;
using zelka::commands::kParamPaperWidth;

namespace {

constexpr int kReadTimeoutMs = 500;
constexpr Byte kWidth80mm = 0;
constexpr Byte kWidth57mm = 1;

// Checking a radio button here runs the other width's action inside this one when the
// printer reports a width other than the one just written; that nested action finds this
// port open (OpenPort returns 3) and leaves it to us.
void SwitchPaperWidth(seams::Context& context, Byte width) {
  if (CurrentPortName == kNoPort || CurrentPortName.empty()) return;
  seams::WindowState& window = context.window;
  PrinterOperation operation;
  const StatusCode opened = OpenPort(CurrentPortName, CurrentBaud, kReadTimeoutMs);
  commands::WritePrinterParameter(kParamPaperWidth, width);
  if (commands::ReadPrinterParameter(kParamPaperWidth) != kOk) {
    window.SetEnabled("RadioButton80mm", true);
    window.SetEnabled("RadioButton57mm", false);
    window.SetChecked("RadioButton80mm", true);
    window.SetEnabled("Button21", true);
  } else {
    const Byte reported = RxBuffer[0];
    window.SetEnabled("RadioButton80mm", true);
    window.SetEnabled("RadioButton57mm", true);
    if (reported == kWidth80mm) {
      window.SetChecked("RadioButton80mm", true);
      window.SetEnabled("Button21", true);
    } else if (reported == kWidth57mm) {
      window.SetChecked("RadioButton57mm", true);
      window.SetEnabled("Button21", false);
    } else {
      window.SetEnabled("RadioButton80mm", false);
      window.SetEnabled("RadioButton57mm", false);
    }
  }
  if (opened == kOk) ClosePort();
}

}  // namespace

void RadioButton80mmClick(seams::Context& context) { SwitchPaperWidth(context, kWidth80mm); }

void RadioButton57mmClick(seams::Context& context) { SwitchPaperWidth(context, kWidth57mm); }

void Button23Click(seams::Context&) {
  PrinterOperation operation;
  OpenPort(CurrentPortName, CurrentBaud, kReadTimeoutMs);
  commands::ReadPrinterParameter(kParamPaperWidth);
  commands::WritePrinterParameter(kParamPaperWidth, kWidth57mm);
  commands::ReadPrinterParameter(kParamPaperWidth);
  ClosePort();
}

}  // namespace zelka::service
