#include "service/service_actions.h"

#include <chrono>

#include "commands/catalogue.h"
#include "commands/text_line.h"
#include "link/link_lock.h"
#include "service/printer_port.h"

namespace zelka::service {

using namespace zelka::link;
using std::chrono::milliseconds;
using zelka::commands::Byte;

namespace {

constexpr milliseconds kShortReadTimeoutMs{500};   // signal, cut, the status after a kick
constexpr milliseconds kStatusReadTimeoutMs{1000}; // drawer, paper and self-diagnosis queries

constexpr Byte kDrawerStatusFunction = 0;  // ESC u 0
constexpr Byte kCutFeedLines = 7;
constexpr Byte kStateBit = 0x01;  // only bit 0 of a status byte carries meaning

// The sample lines of the cut action, as on a sale receipt; 43, 43 and 44 characters,
// all within the 80 mm line.
constexpr const char* kCutSampleLines[] = {
    "  Оплата Наличные:                   100.00",
    "  СДАЧА:                              10.00",
    "---------1---------2---------3---------4----",
};

// A failed query shows "Нет данных" in red; an answer picks one of two captions by bit 0
// of the reply, in the window's text colour (so a red label turns back on success).
void ShowStateBit(seams::WindowState& window, const char* label, StatusCode status,
                  const char* bitSet, const char* bitClear) {
  if (status != kOk) {
    window.SetValue(label, kNoDataCaption, seams::kRedColour);
    return;
  }
  window.SetValue(label, (RxBuffer[0] & kStateBit) ? bitSet : bitClear, seams::kWindowTextColour);
}

}  // namespace

void Button1Click(seams::Context&) {
  PrinterOperation operation;
  commands::FeedOneLine();
}

void Button2Click(seams::Context& context) {
  PrinterOperation operation;
  // Opens and closes the port itself and then lets the drawer settle before the query.
  commands::KickDrawer();
  OpenPrinterPort(kShortReadTimeoutMs);
  // A reply of 0xFF (the printer does not know) arrives as a failure status.
  const StatusCode status = commands::QueryDrawerStatus(kDrawerStatusFunction);
  ShowStateBit(context.window, kDrawerLabel, status, kDrawerClosedCaption, kDrawerOpenCaption);
  ClosePort();
}

void Button4Click(seams::Context& context) {
  PrinterOperation operation;
  OpenPrinterPort(kStatusReadTimeoutMs);
  // Unlike ESC u, 0xFF is an ordinary reply here: bit 0 set reads "closed".
  const StatusCode status = commands::QueryStatusByte(commands::kStatusDrawer);
  ShowStateBit(context.window, kDrawerLabel, status, kDrawerClosedCaption, kDrawerOpenCaption);
  ClosePort();
}

void Button6Click(seams::Context& context) {
  PrinterOperation operation;
  OpenPrinterPort(kStatusReadTimeoutMs);
  const StatusCode status = commands::QueryPaperSensor();
  ShowStateBit(context.window, kPaperLabel, status, kPaperAbsentCaption, kPaperPresentCaption);
  ClosePort();
}

void Button12Click(seams::Context&) {
  PrinterOperation operation;
  OpenPrinterPort(kShortReadTimeoutMs);
  commands::SendFrame(commands::kSoundBeep);
  ClosePort();
}

void Button13Click(seams::Context&) {
  PrinterOperation operation;
  OpenPrinterPort(kShortReadTimeoutMs);
  for (const char* line : kCutSampleLines) commands::PrintTextLine(line);
  commands::FeedLines(kCutFeedLines);
  commands::SendFrame(commands::kCutPaperEscM);
  ClosePort();
}

void Button17Click(seams::Context& context) {
  PrinterOperation operation;
  OpenPrinterPort(kStatusReadTimeoutMs);
  commands::SendFrame(commands::kSoundBeep);
  commands::SendFrame(commands::kRunSelfTest);
  commands::SendFrame(commands::kSoundBeep);
  // Any one byte is a printer alive; its value is not looked at.
  if (commands::QueryPaperStatus() == kOk) context.dialogs.Information(kPrinterHealthyMessage);
  ClosePort();
}

}  // namespace zelka::service
