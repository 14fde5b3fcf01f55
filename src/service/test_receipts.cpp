#include "service/test_receipts.h"

#include <chrono>

#include "commands/catalogue.h"
#include "commands/text_line.h"
#include "commands/qr.h"
#include "service/receipt_layouts.h"

namespace zelka::service {

namespace {

using link::SerialLink;

constexpr std::chrono::milliseconds kReceiptReadTimeout{2000};
constexpr Byte kFinalFeedLines = 7;
// ESC \ 160 0: where the 57 mm layout starts on 80 mm paper.
constexpr Byte kShiftLow = 0xA0;
constexpr Byte kShiftHigh = 0x00;

class Receipt {
 public:
  explicit Receipt(printer::Session& session) : session_(session), link_(session.Link()) {}

  void Layout80() {
    commands::SetPrintMode(link_, kModeNormal);
    commands::SetCharacterSize(link_, kSizeDoubleWidth);
    Line(kSaleBlock80[0]);
    commands::SetCharacterSize(link_, kSizeNormal);
    for (std::size_t i = 1; i < kSaleBlock80.size(); ++i) Line(kSaleBlock80[i]);
    for (const FontGroup& group : kFontGroups) {
      commands::SetPrintMode(link_, group.printMode);
      Line(group.label80);
      Line(DigitsLine(group.digits80));
    }
  }

  void Layout57() {
    commands::SetPrintMode(link_, kHeaderMode57);
    Line(kSaleBlock57[0]);
    commands::SetCharacterSize(link_, kSizeNormal);
    commands::SetPrintMode(link_, kModeNormal);
    for (std::size_t i = 1; i < kSaleBlock57.size(); ++i) Line(kSaleBlock57[i]);
    for (const FontGroup& group : kFontGroups) {
      commands::SetPrintMode(link_, group.printMode);
      Line(group.label57);
      Line(DigitsLine(group.digits57));
    }
  }

  // The 57 mm layout moved right by the shift before every text line.
  void Layout57On80() {
    commands::SetPrintMode(link_, kHeaderMode57);
    Shift();
    Line(kSaleBlock57[0]);
    commands::SetCharacterSize(link_, kSizeNormal);
    commands::SetPrintMode(link_, kModeNormal);
    for (std::size_t i = 1; i < kSaleBlock57.size(); ++i) {
      Shift();
      Line(kSaleBlock57[i]);
    }
    commands::SetPrintMode(link_, kModeNormal);
    for (const FontGroup& group : kFontGroups) {
      // The first group's mode, 0, is the one just sent.
      if (&group != &kFontGroups.front()) commands::SetPrintMode(link_, group.printMode);
      Shift();
      Line(group.label57);
      Shift();
      Line(DigitsLine(group.digits57On80));
    }
  }

  // Every receipt ends alike: feed, modes back to normal, cut.
  link::Status Finish() {
    commands::FeedLines(link_, kFinalFeedLines);
    commands::SetPrintMode(link_, kModeNormal);
    commands::SetCharacterSize(link_, kSizeNormal);
    return commands::CutPaper(link_);
  }

 private:
  void Shift() { commands::MoveRelative(link_, kShiftLow, kShiftHigh); }
  void Line(std::string_view text) { commands::PrintTextLine(link_, text, session_.TextLineLimit()); }

  printer::Session& session_;
  SerialLink& link_;
};

int PaperWidthFor(ReceiptLayout layout) {
  return layout == ReceiptLayout::k57mm || layout == ReceiptLayout::k57mmOn80mm
             ? printer::kNarrowPaperMm
             : printer::kWidePaperMm;
}

}  // namespace

printer::Result PrintTestReceipt(printer::Session& session, ReceiptLayout layout) {
  printer::Result result = printer::OpenPrinter(session, kReceiptReadTimeout);
  if (!result.Ok()) return result;
  session.paperWidthMm = PaperWidthFor(layout);
  Receipt receipt(session);
  switch (layout) {
    case ReceiptLayout::k80mm: receipt.Layout80(); break;
    case ReceiptLayout::k57mm: receipt.Layout57(); break;
    case ReceiptLayout::k57mmOn80mm: receipt.Layout57On80(); break;
  }
  result.Sent(receipt.Finish());
  // Every other text line (the cut action's) is for 80 mm paper.
  session.paperWidthMm = printer::kWidePaperMm;
  session.Link().Close();
  return result;
}

printer::Result PrintSampleQrCode(printer::Session& session) {
  printer::Result result = printer::OpenPrinter(session, kReceiptReadTimeout);
  if (!result.Ok()) return result;
  commands::PrintQrCode(session.Link(), commands::kQrSamplePayload);
  session.Link().Close();
  return result;
}

}  // namespace zelka::service
