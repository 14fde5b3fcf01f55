// The printing side of the simulated printer: acts on the commands that put ink on paper
// (text, print modes and sizes, moves, feeds, cuts, QR symbols) and hands out each
// receipt when it is cut. The queries and settings are the PrinterModel's; the paper's
// width comes from the printer's parameter 8 (0 = 80 mm, 1 = 57 mm), see PaperDots().
//
// Thread-safety: none; one owner drives it (the ReceiptSpooler's thread).
#pragma once

#include <cstdint>
#include <optional>

#include "sim/command_parser.h"
#include "sim/logo_bitmap.h"
#include "sim/render/qr_symbol.h"
#include "sim/render/receipt_image.h"
#include "sim/render/receipt_renderer.h"
#include "sim/simulator.h"

namespace zelka::sim {

class ReceiptPrinter {
 public:
  // The printer's QR settings at power-on.
  static constexpr int kDefaultQrModuleDots = 3;

  // Acts on one command of the main command set, which arrived while the paper was
  // `paperDots` wide; a cut returns the finished receipt. Other commands are ignored.
  // Raster rows print as dot rows; the logo is kept as the printer decodes it (see
  // sim/logo_bitmap.h) and printed by GS / until GS @ 1 erases it.
  std::optional<ReceiptImage> Apply(const ParsedCommand& command, int paperDots);

 private:
  std::optional<ReceiptImage> ApplyQr(const Bytes& frame);
  void ApplyLogo(const ParsedCommand& command);

  ReceiptRenderer renderer_;
  int qrModuleDots_ = kDefaultQrModuleDots;
  QrErrorCorrection qrLevel_ = QrErrorCorrection::L;
  Bytes qrData_;
  std::optional<DotRows> logo_;  // nothing: none stored, or one the printer could not read
};

// The printable width of the paper that the printer's parameters describe.
int PaperDots(const PrinterState& state);

}  // namespace zelka::sim
