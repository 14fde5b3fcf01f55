#include "sim/render/receipt_printer.h"

#include <algorithm>
#include <string>

namespace zelka::sim {
namespace {

constexpr std::uint8_t kParamPaperWidth = 8;
constexpr std::uint8_t kPaperWidth57mm = 1;

// GS ( k pL pH cn fn ...: byte positions and values.
constexpr std::size_t kQrSymbolTypeAt = 5;
constexpr std::size_t kQrFunctionAt = 6;
constexpr std::size_t kQrArgumentAt = 7;
constexpr std::size_t kQrStoredDataAt = 8;
constexpr std::uint8_t kQrSymbolType = 49;          // cn 49: QR Code
constexpr std::uint8_t kQrFnModuleSize = 67;        // module size in dots, 1..16
constexpr std::uint8_t kQrFnErrorCorrection = 69;   // 48..51 = L, M, Q, H
constexpr std::uint8_t kQrFnStore = 80;             // m, then the data
constexpr std::uint8_t kQrFnPrint = 81;             // prints the stored symbol
constexpr int kQrMaxModuleDots = 16;
constexpr std::uint8_t kQrLevelL = 48;

// The parser's names of the printing commands that command_name does not list.
constexpr char kEscPrintMode[] = "ESC !";
constexpr char kGsCharacterSize[] = "GS !";
constexpr char kEscBold[] = "ESC E";
constexpr char kEscUnderline[] = "ESC -";
constexpr char kEscLineSpacing[] = "ESC 3";
constexpr char kEscMoveRelative[] = "ESC \\";
constexpr char kEscFeedLines[] = "ESC d";
constexpr char kEscCut[] = "ESC i";
constexpr char kEscPartialCut[] = "ESC m";
constexpr char kGsCut[] = "GS V";

// GS / m prints the stored logo (m scales it on some models; this one prints it as is).
constexpr char kGsPrintLogo[] = "GS /";
// GS @ n erases the stored logo for n = 1, given as a number or as its digit.
constexpr std::uint8_t kEraseLogoFunction = 1;

// GS V m [n]: m 65 and 66 feed n dots before cutting.
constexpr std::uint8_t kCutWithFeedFrom = 65;

// ESC - n takes the thickness as a number or as its digit.
int UnderlineThickness(std::uint8_t n) { return n >= '0' ? n - '0' : n; }

}  // namespace

int PaperDots(const PrinterState& state) {
  const auto it = state.parameters.find(kParamPaperWidth);
  const bool narrow = it != state.parameters.end() && it->second == kPaperWidth57mm;
  return narrow ? kPaper57mmDots : kPaper80mmDots;
}

std::optional<ReceiptImage> ReceiptPrinter::Apply(const ParsedCommand& command, int paperDots) {
  namespace name = command_name;
  const std::string& n = command.name;
  const Bytes& b = command.bytes;
  renderer_.SetPaperWidth(paperDots);
  // Every frame below has the length its name implies (the parser saw to that).
  if (n == name::kText) {
    renderer_.Text(b);
  } else if (n == name::kLineFeed) {
    renderer_.LineFeed();
  } else if (n == kEscPrintMode) {
    renderer_.SetPrintMode(b[2]);
  } else if (n == kGsCharacterSize) {
    renderer_.SetCharacterSize(b[2]);
  } else if (n == kEscBold) {
    renderer_.SetBold((b[2] & 0x01) != 0);
  } else if (n == kEscUnderline) {
    renderer_.SetUnderline(UnderlineThickness(b[2]));
  } else if (n == kEscLineSpacing) {
    renderer_.SetLineSpacing(b[2]);
  } else if (n == kEscMoveRelative) {
    renderer_.MoveRelative(static_cast<std::int16_t>(b[2] | (b[3] << 8)));
  } else if (n == kEscFeedLines) {
    renderer_.FeedLines(b[2]);
  } else if (n == kEscCut || n == kEscPartialCut) {
    return renderer_.Cut();
  } else if (n == kGsCut) {
    if (b[2] >= kCutWithFeedFrom && b.size() > 3) renderer_.FeedDots(b[3]);
    return renderer_.Cut();
  } else if (n == name::kGsQr) {
    return ApplyQr(b);
  } else if (n == name::kRasterRow) {
    if (const auto row = DecodeRasterRow(b)) renderer_.RasterRow(row->rows.front(), row->width);
  } else if (n == name::kLogo || n == name::kGsLogoErase || n == kGsPrintLogo) {
    ApplyLogo(command);
  }
  // CR: the serial models print on LF alone, so CR LF makes one line, not two.
  return std::nullopt;
}

void ReceiptPrinter::ApplyLogo(const ParsedCommand& command) {
  const Bytes& b = command.bytes;
  if (command.name == command_name::kLogo) {
    // The bitmap file follows the ESC byte.
    logo_ = DecodeLogoBitmap(std::span(b).subspan(1));
  } else if (command.name == command_name::kGsLogoErase) {
    if (b[2] == kEraseLogoFunction || b[2] == '0' + kEraseLogoFunction) logo_.reset();
  } else if (logo_) {
    for (const Bytes& row : logo_->rows) renderer_.RasterRow(row, logo_->width);
  }
}

std::optional<ReceiptImage> ReceiptPrinter::ApplyQr(const Bytes& frame) {
  if (frame.size() <= kQrArgumentAt || frame[kQrSymbolTypeAt] != kQrSymbolType) return std::nullopt;
  const std::uint8_t argument = frame[kQrArgumentAt];
  switch (frame[kQrFunctionAt]) {
    case kQrFnModuleSize:
      if (argument >= 1 && argument <= kQrMaxModuleDots) qrModuleDots_ = argument;
      break;
    case kQrFnErrorCorrection:
      if (argument >= kQrLevelL && argument <= kQrLevelL + 3) {
        qrLevel_ = static_cast<QrErrorCorrection>(argument - kQrLevelL);
      }
      break;
    case kQrFnStore:
      qrData_.assign(frame.begin() + static_cast<std::ptrdiff_t>(std::min(kQrStoredDataAt, frame.size())),
                     frame.end());
      break;
    case kQrFnPrint:
      // Data that make no symbol print nothing, as on the printer.
      renderer_.Image(BuildQrSymbol(qrData_, qrModuleDots_, qrLevel_));
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace zelka::sim
