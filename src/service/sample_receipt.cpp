#include "service/sample_receipt.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <span>
#include <string_view>

#include "commands/catalogue.h"
#include "commands/codepage.h"
#include "service/test_receipts.h"

namespace zelka::service {

using commands::Byte;
using commands::kEsc;
using commands::kGs;
using commands::kLf;

namespace {

constexpr std::chrono::milliseconds kReceiptReadTimeout{2000};
constexpr std::size_t kRuleLength = 44;       // one full line of the receipt
constexpr std::size_t kLargeLineLength = 22;  // a line in double width

// Invented sample values of the lengths the layout leaves for them; they name no real
// person or shop.
constexpr std::string_view kOwnerName = "Лентин К.Р.";                       // 11 characters
constexpr std::string_view kTaxpayerNumber = "001234567890";                 // 12 digits
constexpr std::string_view kStreetAddress = "г. Зельск, ул. Термобумажная, 15А";  // 33
constexpr std::string_view kWebAddress = "zelka.test/jobs";                  // 15
constexpr std::string_view kTelephone = "+7(000)123-4567";                   // 15

// Builds one frame; text is written as UTF-8 here and goes out in code page 866, one
// byte per character, so the character counts above are byte counts on the wire.
class FrameWriter {
 public:
  FrameWriter& Bytes(std::initializer_list<Byte> bytes) {
    frame_.insert(frame_.end(), bytes);
    return *this;
  }
  FrameWriter& Bytes(std::span<const Byte> bytes) {
    frame_.insert(frame_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  FrameWriter& Text(std::string_view utf8) {
    const std::string encoded = commands::EncodeCp866(utf8);
    frame_.insert(frame_.end(), encoded.begin(), encoded.end());
    return *this;
  }
  FrameWriter& Repeat(char c, std::size_t count) {
    frame_.insert(frame_.end(), count, static_cast<Byte>(c));
    return *this;
  }
  FrameWriter& Spaces(std::size_t count) { return Repeat(' ', count); }
  FrameWriter& EndLine() { return Bytes({kLf}); }
  std::vector<Byte> Take() { return std::move(frame_); }

 private:
  std::vector<Byte> frame_;
};

std::vector<Byte> LineSpacingFrame() {
  return FrameWriter().Bytes({kEsc, 0x33, 105}).Take();  // ESC 3 105
}

std::vector<Byte> OwnerFrame() {
  FrameWriter w;
  w.Bytes({kEsc, 0x52, 0x07})   // ESC R 7: code page 866
      .Bytes({kEsc, 0x74, 0x30})  // ESC t 0x30
      .Bytes({kEsc, 0x56, 0x00})  // ESC V 0: no rotation
      .Bytes({kEsc, 0x21, 0x00})  // ESC ! 0
      .Bytes({kEsc, 0x42, 0x00})  // ESC B 0
      .Bytes({kEsc, 0x7B, 0x00})  // ESC { 0: not upside down
      .Bytes({kEsc, 0x49, 0x00})  // ESC I 0
      .Bytes({kEsc, 0x61, 0x00})  // ESC a 0: left aligned
      .Bytes({kEsc, 0x33, 55});   // ESC 3 55: line spacing
  w.Spaces(14).Text("ИП ").Text(kOwnerName).Spaces(15).EndLine();
  w.Spaces(14).Text("ИНН ").Text(kTaxpayerNumber).Spaces(14).EndLine();
  return w.Take();
}

// ESC ! 0, GS ! size, ESC E bold: the start of each large line.
FrameWriter& LargeLine(FrameWriter& w, Byte size, Byte bold) {
  return w.Bytes({kEsc, 0x21, 0x00}).Bytes({kGs, 0x21, size}).Bytes({kEsc, 0x45, bold});
}

std::vector<Byte> BodyFrame() {
  constexpr Byte kDoubleWidthAndHeight = 0x11;
  constexpr Byte kDoubleWidth = 0x10;
  static constexpr std::array<Byte, 3> kUnderlineOff = {kEsc, 0x2D, 0x00};
  FrameWriter w;
  w.Repeat('=', kRuleLength).EndLine();
  LargeLine(w, kDoubleWidthAndHeight, 1).Spaces(kLargeLineLength).EndLine();
  LargeLine(w, kDoubleWidthAndHeight, 1).Bytes(kUnderlineOff).Text("  СПАСИБО ЗА ПОКУПКУ  ").EndLine();
  LargeLine(w, kDoubleWidthAndHeight, 1).Bytes(kUnderlineOff).Spaces(kLargeLineLength).EndLine();
  LargeLine(w, kDoubleWidth, 0).Bytes(kUnderlineOff).Text("   ПРИЯТНЫЙ МАГАЗИН   ").EndLine();
  w.Bytes({kEsc, 0x21, 0x00}).Spaces(5).Text(kStreetAddress).Spaces(6).EndLine();
  w.Spaces(kRuleLength).EndLine();
  w.Text("ЧЕК НА ПРОДАЖУ ОК100046489").Spaces(18).EndLine();
  w.Text("Дата 14.11.14 17:43:07").Spaces(22).EndLine();
  w.Repeat('=', kRuleLength).EndLine();
  w.Spaces(8).Text("ПОСТРОЙТЕ СВОЮ КАРЬЕРУ С НАМИ!").EndLine();
  w.Spaces(13).Text(kWebAddress).EndLine();
  w.Spaces(11).Text("Тел.").Text(kTelephone).EndLine();
  w.Repeat('=', kRuleLength).EndLine();
  w.Bytes({kGs, 0x56, 66, 1});  // GS V 66 1: feed and cut
  return w.Take();
}

}  // namespace

SampleReceipt SampleReceiptFrames() { return {LineSpacingFrame(), OwnerFrame(), BodyFrame()}; }

printer::Result PrintSampleReceipt(printer::Session& session) {
  printer::Result result = printer::OpenPrinter(session, kReceiptReadTimeout);
  if (!result.Ok()) return result;
  for (const auto& frame : SampleReceiptFrames()) {
    const link::Status sent = session.Link().Send(frame);
    if (result.Ok()) result.Sent(sent);
  }
  session.Link().Close();
  return result;
}

}  // namespace zelka::service
