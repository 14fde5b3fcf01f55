#include "service/test_receipts.h"

#include <chrono>

#include "commands/catalogue.h"
#include "commands/text_line.h"
#include "link/link_lock.h"
#include "service/printer_port.h"
#include "service/receipt_layouts.h"

namespace zelka::service {

using namespace zelka::link;
using commands::PaperWidthMm;
using commands::PrintTextLine;

namespace {

constexpr std::chrono::milliseconds kReceiptReadTimeoutMs{2000};
constexpr int kWidePaperMm = 80;
constexpr int kNarrowPaperMm = 57;
constexpr Byte kFinalFeedLines = 7;
// ESC \ 160 0: where the 57 mm layout starts on 80 mm paper.
constexpr Byte kShiftLow = 0xA0;
constexpr Byte kShiftHigh = 0x00;

void Shift() { commands::MoveRelative(kShiftLow, kShiftHigh); }

void PrintLayout80() {
  commands::SetPrintMode(kModeNormal);
  commands::SetCharacterSize(kSizeDoubleWidth);
  PrintTextLine(kSaleBlock80[0]);
  commands::SetCharacterSize(kSizeNormal);
  for (std::size_t i = 1; i < kSaleBlock80.size(); ++i) PrintTextLine(kSaleBlock80[i]);
  for (const FontGroup& group : kFontGroups) {
    commands::SetPrintMode(group.printMode);
    PrintTextLine(group.label80);
    PrintTextLine(DigitsLine(group.digits80));
  }
}

void PrintLayout57() {
  commands::SetPrintMode(kHeaderMode57);
  PrintTextLine(kSaleBlock57[0]);
  commands::SetCharacterSize(kSizeNormal);
  commands::SetPrintMode(kModeNormal);
  for (std::size_t i = 1; i < kSaleBlock57.size(); ++i) PrintTextLine(kSaleBlock57[i]);
  for (const FontGroup& group : kFontGroups) {
    commands::SetPrintMode(group.printMode);
    PrintTextLine(group.label57);
    PrintTextLine(DigitsLine(group.digits57));
  }
}

// The 57 mm layout moved right by the shift before every text line.
void PrintLayout57On80() {
  commands::SetPrintMode(kHeaderMode57);
  Shift();
  PrintTextLine(kSaleBlock57[0]);
  commands::SetCharacterSize(kSizeNormal);
  commands::SetPrintMode(kModeNormal);
  for (std::size_t i = 1; i < kSaleBlock57.size(); ++i) {
    Shift();
    PrintTextLine(kSaleBlock57[i]);
  }
  commands::SetPrintMode(kModeNormal);
  for (const FontGroup& group : kFontGroups) {
    // The first group's mode, 0, is the one just sent.
    if (&group != &kFontGroups.front()) commands::SetPrintMode(group.printMode);
    Shift();
    PrintTextLine(group.label57);
    Shift();
    PrintTextLine(DigitsLine(group.digits57On80));
  }
}

// Every receipt ends alike: feed, modes back to normal, cut.
void FinishReceipt() {
  commands::FeedLines(kFinalFeedLines);
  commands::SetPrintMode(kModeNormal);
  commands::SetCharacterSize(kSizeNormal);
  commands::CutPaper();
}

}  // namespace

void Button22Click(seams::Context& context) {
  PrinterOperation operation;
  if (context.window.Checked("RadioButton80mm")) PaperWidthMm = kWidePaperMm;
  if (context.window.Checked("RadioButton57mm")) PaperWidthMm = kNarrowPaperMm;
  OpenPrinterPort(kReceiptReadTimeoutMs);
  if (PaperWidthMm == kWidePaperMm) {
    PrintLayout80();
  } else if (PaperWidthMm == kNarrowPaperMm) {
    PrintLayout57();
  }
  FinishReceipt();
  ClosePort();
  // Every other text line (the cut action's) is for 80 mm paper.
  PaperWidthMm = kWidePaperMm;
}

void Button21Click(seams::Context&) {
  PrinterOperation operation;
  // The 57 mm text width; the radio buttons are not read.
  PaperWidthMm = kNarrowPaperMm;
  OpenPrinterPort(kReceiptReadTimeoutMs);
  PrintLayout57On80();
  FinishReceipt();
  PaperWidthMm = kWidePaperMm;
  ClosePort();
}

}  // namespace zelka::service
