#include "sim/render/receipt_renderer.h"

#include <algorithm>

#include "sim/render/cp866.h"
#include "sim/render/glyph_atlas.h"

namespace zelka::sim {
namespace {

// ESC ! n bits.
constexpr std::uint8_t kModeFont1 = 0x01;
constexpr std::uint8_t kModeBold = 0x08;
constexpr std::uint8_t kModeDoubleHeight = 0x10;
constexpr std::uint8_t kModeDoubleWidth = 0x20;
constexpr std::uint8_t kModeUnderline = 0x80;
// GS ! n: bits 4..6 the width multiplier - 1, bits 0..2 the height multiplier - 1.
constexpr std::uint8_t kSizeMultiplierMask = 0x07;
constexpr int kMaxUnderline = 2;
constexpr int kInkGray = 128;  // an image pixel darker than this is a dot

}  // namespace

ReceiptRenderer::ReceiptRenderer(int paperDots) : paperDots_(std::max(paperDots, 1)), canvas_(paperDots_) {}

void ReceiptRenderer::SetPaperWidth(int dots) {
  paperDots_ = std::max(dots, 1);
  if (canvas_.Empty() && line_.empty() && x_ == 0) canvas_ = DotCanvas(paperDots_);
}

int ReceiptRenderer::PaperWidth() const { return canvas_.Width(); }

void ReceiptRenderer::SetPrintMode(std::uint8_t mode) {
  font_ = (mode & kModeFont1) ? 1 : 0;
  bold_ = (mode & kModeBold) != 0;
  heightMultiplier_ = (mode & kModeDoubleHeight) ? 2 : 1;
  widthMultiplier_ = (mode & kModeDoubleWidth) ? 2 : 1;
  underline_ = (mode & kModeUnderline) ? 1 : 0;
}

void ReceiptRenderer::SetCharacterSize(std::uint8_t size) {
  widthMultiplier_ = ((size >> 4) & kSizeMultiplierMask) + 1;
  heightMultiplier_ = (size & kSizeMultiplierMask) + 1;
}

void ReceiptRenderer::SetBold(bool bold) { bold_ = bold; }

void ReceiptRenderer::SetUnderline(int thickness) { underline_ = std::clamp(thickness, 0, kMaxUnderline); }

void ReceiptRenderer::SetLineSpacing(int dots) { lineSpacing_ = std::max(dots, 0); }

void ReceiptRenderer::ResetLineSpacing() { lineSpacing_ = kDefaultLineSpacing; }

int ReceiptRenderer::GlyphWidth() const { return kFontMetrics[font_].cellWidth * widthMultiplier_; }

int ReceiptRenderer::GlyphHeight() const { return kFontMetrics[font_].cellHeight * heightMultiplier_; }

void ReceiptRenderer::Text(std::span<const std::uint8_t> cp866) {
  for (std::uint8_t byte : cp866) {
    if (byte < 0x20) continue;
    const int width = GlyphWidth();
    if (x_ + width > PaperWidth()) {
      if (x_ == 0) continue;  // wider than the paper itself: it cannot be printed at all
      PrintLineBuffer();
    }
    line_.push_back({x_, byte, font_, bold_, widthMultiplier_, heightMultiplier_, underline_});
    lineBytes_.push_back(byte);
    x_ += width;
  }
}

void ReceiptRenderer::MoveRelative(int dots) {
  const int x = x_ + dots;
  if (x >= 0 && x < PaperWidth()) x_ = x;
}

void ReceiptRenderer::LineFeed() { PrintLineBuffer(); }

void ReceiptRenderer::FeedLines(int lines) {
  FlushLine();
  Advance(std::max(lines, 0) * lineSpacing_);
  x_ = 0;
}

void ReceiptRenderer::FeedDots(int dots) {
  FlushLine();
  Advance(dots);
  x_ = 0;
}

void ReceiptRenderer::RasterRow(std::span<const std::uint8_t> bits, int dots) {
  FlushLine();
  const int row = Advance(1);
  canvas_.OrBits(0, row, bits, dots);
  x_ = 0;
}

void ReceiptRenderer::Image(const QImage& image) {
  // A move on an otherwise empty line places the image; text before it is printed first.
  const int left = line_.empty() ? x_ : 0;
  FlushLine();
  x_ = 0;
  if (image.isNull()) return;
  const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
  const int top = Advance(gray.height());
  for (int y = 0; y < gray.height(); ++y) {
    const uchar* row = gray.constScanLine(y);
    for (int x = 0; x < gray.width(); ++x) {
      if (row[x] < kInkGray) canvas_.Set(left + x, top + y);
    }
  }
}

std::optional<ReceiptImage> ReceiptRenderer::Cut() {
  FlushLine();
  x_ = 0;
  if (canvas_.Empty()) return std::nullopt;
  ReceiptImage receipt{canvas_.ToImage(), std::move(lines_)};
  lines_.clear();
  canvas_ = DotCanvas(paperDots_);
  return receipt;
}

void ReceiptRenderer::FlushLine() {
  if (!line_.empty()) PrintLineBuffer();
}

void ReceiptRenderer::PrintLineBuffer() {
  int lineHeight = 0;
  for (const PlacedGlyph& glyph : line_) {
    lineHeight = std::max(lineHeight, kFontMetrics[glyph.font].cellHeight * glyph.heightMultiplier);
  }
  // A line taller than the line spacing pushes the next line down by its own height.
  const int top = Advance(std::max(lineSpacing_, lineHeight));
  for (const PlacedGlyph& glyph : line_) DrawGlyph(glyph, top, lineHeight);
  if (!line_.empty()) lines_.push_back(Cp866ToUtf8(lineBytes_));
  line_.clear();
  lineBytes_.clear();
  x_ = 0;
}

int ReceiptRenderer::Advance(int rows) {
  const int top = canvas_.Height();
  canvas_.AddRows(std::min(std::max(rows, 0), kMaxReceiptRows - top));
  return top;
}

void ReceiptRenderer::DrawGlyph(const PlacedGlyph& glyph, int lineTop, int lineHeight) {
  const GlyphCell& cell = GlyphAtlas::Instance().Glyph(glyph.font, glyph.bold, glyph.byte);
  const int width = cell.width * glyph.widthMultiplier;
  const int height = cell.height * glyph.heightMultiplier;
  const int top = lineTop + lineHeight - height;
  for (int cy = 0; cy < cell.height; ++cy) {
    for (int cx = 0; cx < cell.width; ++cx) {
      if (!cell.Dot(cx, cy)) continue;
      // A larger size prints each dot of the cell as a block, as the printer's head does.
      for (int dy = 0; dy < glyph.heightMultiplier; ++dy) {
        for (int dx = 0; dx < glyph.widthMultiplier; ++dx) {
          canvas_.Set(glyph.x + cx * glyph.widthMultiplier + dx, top + cy * glyph.heightMultiplier + dy);
        }
      }
    }
  }
  for (int t = 0; t < glyph.underline; ++t) {
    for (int x = 0; x < width; ++x) canvas_.Set(glyph.x + x, top + height - 1 - t);
  }
}

}  // namespace zelka::sim
