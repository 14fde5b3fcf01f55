// A thermal receipt printer's print engine: text in code page 866 with the print modes
// and character sizes of ESC ! and GS !, bold, underline, relative moves, line feeds,
// raster rows and images, and cuts that hand out the finished receipt.
//
// Text collects in a line buffer and is printed by a line feed (or anything else that
// moves the paper); characters of different sizes stand on the line's bottom edge, and a
// character that no longer fits on the line ends it and starts the next one. All sizes
// are in dots.
//
// Thread-safety: none; one owner drives it.
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/render/dot_canvas.h"
#include "sim/render/receipt_image.h"

namespace zelka::sim {

class ReceiptRenderer {
 public:
  // Line spacing at power-on: 30 dots from one line's top to the next one's.
  static constexpr int kDefaultLineSpacing = 30;
  // A receipt keeps at most this many rows (5 m of paper); what a printer that is never
  // told to cut prints beyond them is lost, so that its paper does not grow without end.
  static constexpr int kMaxReceiptRows = 40000;

  explicit ReceiptRenderer(int paperDots = kPaper80mmDots);

  // The paper's printable width; a change applies from the next receipt on (a roll is not
  // swapped in the middle of a receipt).
  void SetPaperWidth(int dots);
  int PaperWidth() const;

  // Print modes and sizes.
  void SetPrintMode(std::uint8_t mode);      // ESC !: font 1, bold, double height/width, underline
  void SetCharacterSize(std::uint8_t size);  // GS !: width (high nibble) and height multipliers
  void SetBold(bool bold);                   // ESC E
  void SetUnderline(int thickness);          // ESC -: 0, 1 or 2 dots
  void SetLineSpacing(int dots);             // ESC 3
  void ResetLineSpacing();                   // ESC 2

  // Characters in code page 866; bytes below 0x20 are not characters and are skipped.
  void Text(std::span<const std::uint8_t> cp866);
  // ESC \: moves the print position on the line; a move beyond the line is ignored.
  void MoveRelative(int dots);

  // Paper movement. Each prints the line buffer first.
  void LineFeed();
  void FeedLines(int lines);
  void FeedDots(int dots);

  // One dot row of raster data at the left edge (MSB = leftmost dot); `dots` across.
  void RasterRow(std::span<const std::uint8_t> bits, int dots);
  // An image at the current print position: every dark pixel is a dot. The paper moves
  // on by the image's height.
  void Image(const QImage& image);

  // Prints the line buffer, cuts, and hands out the receipt; nothing when no paper moved
  // since the last cut.
  std::optional<ReceiptImage> Cut();

 private:
  struct PlacedGlyph {
    int x;
    std::uint8_t byte;
    int font;
    bool bold;
    int widthMultiplier;
    int heightMultiplier;
    int underline;
  };

  void PrintLineBuffer();
  // Prints the line buffer only when it holds characters (a move alone stays).
  void FlushLine();
  // Adds `rows` rows of paper (within kMaxReceiptRows) and returns the first one's index.
  int Advance(int rows);
  void DrawGlyph(const PlacedGlyph& glyph, int lineTop, int lineHeight);
  int GlyphWidth() const;
  int GlyphHeight() const;

  int paperDots_;
  DotCanvas canvas_;  // the receipt being printed; its width is the receipt's

  int font_ = 0;
  bool bold_ = false;
  int widthMultiplier_ = 1;
  int heightMultiplier_ = 1;
  int underline_ = 0;
  int lineSpacing_ = kDefaultLineSpacing;

  int x_ = 0;  // the print position on the line
  std::vector<PlacedGlyph> line_;
  std::vector<std::uint8_t> lineBytes_;  // the line's characters, for the text record
  std::vector<std::string> lines_;
};

}  // namespace zelka::sim
