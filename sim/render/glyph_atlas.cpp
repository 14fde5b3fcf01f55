#include "sim/render/glyph_atlas.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <array>
#include <memory>
#include <mutex>

#include "sim/render/cp866.h"

namespace zelka::sim {
namespace {

constexpr const char* kFontFamily = "DejaVu Sans Mono";
// Pixel sizes at which the outline font's advance and height fit the printer's cells.
constexpr int kFontPixelSize[kFontCount] = {19, 14};
// Antialiased coverage at or above half makes a dot.
constexpr int kInkThreshold = 128;

GlyphCell BlankCell(int font) {
  const FontMetrics metrics = kFontMetrics[font];
  return {metrics.cellWidth, metrics.cellHeight,
          std::vector<std::uint8_t>(static_cast<std::size_t>(metrics.cellWidth * metrics.cellHeight), 0)};
}

GlyphCell DrawGlyph(int font, bool bold, std::uint8_t byte) {
  const FontMetrics metrics = kFontMetrics[font];
  GlyphCell cell = BlankCell(font);
  if (byte <= 0x20) return cell;

  QFont qfont(QString::fromLatin1(kFontFamily));
  qfont.setStyleHint(QFont::Monospace);
  qfont.setPixelSize(kFontPixelSize[font]);
  qfont.setBold(bold);
  const QFontMetrics fm(qfont);
  const char32_t code = Cp866ToUnicode(byte);
  const QString text = QString::fromUcs4(&code, 1);

  QImage image(metrics.cellWidth, metrics.cellHeight, QImage::Format_Grayscale8);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setFont(qfont);
    painter.setPen(Qt::black);
    const int x = (metrics.cellWidth - fm.horizontalAdvance(text)) / 2;
    // The font's ascent and descent centred in the cell, so descenders stay inside it.
    const int baseline = (metrics.cellHeight - fm.height()) / 2 + fm.ascent();
    painter.drawText(x, baseline, text);
  }
  for (int y = 0; y < cell.height; ++y) {
    const uchar* row = image.constScanLine(y);
    for (int x = 0; x < cell.width; ++x) {
      if (255 - row[x] >= kInkThreshold) cell.dots[static_cast<std::size_t>(y * cell.width + x)] = 1;
    }
  }
  return cell;
}

}  // namespace

GlyphAtlas& GlyphAtlas::Instance() {
  static GlyphAtlas atlas;
  return atlas;
}

bool GlyphAtlas::CanDrawText() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

const GlyphCell& GlyphAtlas::Glyph(int font, bool bold, std::uint8_t byte) {
  // Index: font, weight, byte. Cells are made on first use and never move afterwards.
  static std::array<std::unique_ptr<GlyphCell>, kFontCount * 2 * 256> cells;
  static std::mutex mutex;
  static const GlyphCell kBlank[kFontCount] = {BlankCell(0), BlankCell(1)};
  font = font == 1 ? 1 : 0;
  // Not kept: a QGuiApplication made later still gets real glyphs.
  if (!CanDrawText()) return kBlank[font];
  const std::size_t index = (static_cast<std::size_t>(font) * 2 + (bold ? 1 : 0)) * 256 + byte;
  std::lock_guard lock(mutex);
  if (!cells[index]) cells[index] = std::make_unique<GlyphCell>(DrawGlyph(font, bold, byte));
  return *cells[index];
}

}  // namespace zelka::sim
