// The simulated printer's print engine on its own: where dots land and when paper moves.
#include "sim/render/receipt_renderer.h"

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

#include "sim/render/receipt_printer.h"

namespace zelka::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool Ink(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// The inked columns' extent [first, last] over the whole image; {-1, -1} when blank.
std::pair<int, int> InkColumns(const QImage& image) {
  int first = -1;
  int last = -1;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (!Ink(image, x, y)) continue;
      if (first < 0) first = x;
      last = x;
      break;
    }
  }
  return {first, last};
}

Bytes Text(const std::string& ascii) { return Bytes(ascii.begin(), ascii.end()); }

TEST(ReceiptRendererTest, RasterRowPutsTheHighBitLeftmost) {
  ReceiptRenderer renderer(kPaper57mmDots);
  renderer.RasterRow(Bytes{0x80, 0x01}, 16);
  renderer.RasterRow(Bytes{0xFF}, 4);  // only the first four dots of the byte
  const auto receipt = renderer.Cut();
  ASSERT_TRUE(receipt);
  const QImage& image = receipt->image;
  ASSERT_EQ(image.size(), QSize(384, 2));
  EXPECT_TRUE(Ink(image, 0, 0));
  EXPECT_FALSE(Ink(image, 1, 0));
  EXPECT_TRUE(Ink(image, 15, 0));
  EXPECT_TRUE(Ink(image, 3, 1));
  EXPECT_FALSE(Ink(image, 4, 1));
}

TEST(ReceiptRendererTest, LineHeightFollowsTheTallestCharacterAndSpacing) {
  struct Case {
    std::uint8_t mode;  // ESC !
    int rows;           // paper moved by one line of text
  };
  // Font 0 is 24 dots high, font 1 17; the spacing of 30 dots is the least a line takes.
  for (const Case c : {Case{0x00, 30}, Case{0x01, 30}, Case{0x10, 48}, Case{0x11, 34}}) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    ReceiptRenderer renderer;
    renderer.SetPrintMode(c.mode);
    renderer.Text(Text("A"));
    renderer.LineFeed();
    EXPECT_EQ(renderer.Cut()->image.height(), c.rows);
  }
  ReceiptRenderer spaced;
  spaced.SetLineSpacing(55);
  spaced.LineFeed();
  spaced.FeedLines(2);
  EXPECT_EQ(spaced.Cut()->image.height(), 3 * 55);
}

TEST(ReceiptRendererTest, CharactersWrapWhenTheLineIsFull) {
  struct Case {
    int paper;
    std::uint8_t mode;
    std::size_t perLine;
  };
  for (const Case c : {Case{kPaper80mmDots, 0x00, 48}, Case{kPaper57mmDots, 0x00, 32},
                       Case{kPaper57mmDots, 0x01, 42}, Case{kPaper57mmDots, 0x20, 16},
                       Case{kPaper57mmDots, 0x21, 21}}) {
    SCOPED_TRACE(std::to_string(c.paper) + " mode " + std::to_string(c.mode));
    ReceiptRenderer renderer(c.paper);
    renderer.SetPrintMode(c.mode);
    renderer.Text(Bytes(c.perLine + 1, '8'));
    renderer.LineFeed();
    const auto receipt = renderer.Cut();
    ASSERT_TRUE(receipt);
    EXPECT_EQ(receipt->lines, (std::vector<std::string>{std::string(c.perLine, '8'), "8"}));
  }
}

TEST(ReceiptRendererTest, MovesShiftTheLineAndOnesBeyondItAreIgnored) {
  ReceiptRenderer renderer;
  renderer.MoveRelative(160);
  renderer.MoveRelative(-200);  // before the left edge: ignored
  renderer.MoveRelative(600);   // beyond the right edge: ignored
  renderer.SetCharacterSize(0x10);
  renderer.Text(Text("HH"));
  renderer.LineFeed();
  const auto receipt = renderer.Cut();
  ASSERT_TRUE(receipt);
  const auto [first, last] = InkColumns(receipt->image);
  EXPECT_GE(first, 160);
  EXPECT_LT(last, 160 + 2 * 24);
  EXPECT_GT(last, 160 + 24) << "the second character is a double-width cell further";
}

TEST(ReceiptRendererTest, UnderlineRunsUnderEveryCharacter) {
  ReceiptRenderer renderer;
  renderer.SetUnderline(2);
  renderer.Text(Text("   "));
  renderer.LineFeed();
  const QImage image = renderer.Cut()->image;
  for (int x = 0; x < 36; ++x) {
    EXPECT_TRUE(Ink(image, x, 23)) << x;
    EXPECT_TRUE(Ink(image, x, 22)) << x;
    EXPECT_FALSE(Ink(image, x, 21)) << x;
  }
  EXPECT_FALSE(Ink(image, 36, 23));
}

TEST(ReceiptRendererTest, CutHandsOutOnlyPaperThatMovedAndWidthChangesWaitForIt) {
  ReceiptRenderer renderer;
  EXPECT_FALSE(renderer.Cut());
  renderer.FeedDots(10);
  renderer.SetPaperWidth(kPaper57mmDots);  // in the middle of a receipt: for the next one
  renderer.FeedDots(5);
  const auto first = renderer.Cut();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->image.size(), QSize(576, 15));
  renderer.Text(Text("x"));  // a line left in the buffer is printed by the cut
  const auto second = renderer.Cut();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->image.width(), 384);
  EXPECT_EQ(second->lines, std::vector<std::string>{"x"});
}

TEST(ReceiptRendererTest, ImagesLandAtThePrintPositionAndPaperNeverGrowsWithoutEnd) {
  ReceiptRenderer renderer;
  QImage block(8, 4, QImage::Format_Grayscale8);
  block.fill(0);
  renderer.MoveRelative(100);
  renderer.Image(block);
  const auto receipt = renderer.Cut();
  ASSERT_TRUE(receipt);
  EXPECT_EQ(receipt->image.height(), 4);
  EXPECT_EQ(InkColumns(receipt->image), (std::pair<int, int>{100, 107}));

  ReceiptRenderer endless;
  for (int i = 0; i < 2000; ++i) endless.FeedLines(255);
  EXPECT_EQ(endless.Cut()->image.height(), ReceiptRenderer::kMaxReceiptRows);
}

// The printing commands as the printer gets them, including a malformed QR request.
TEST(ReceiptPrinterTest, QrCommandsAndCutsFromTheWire) {
  ReceiptPrinter printer;
  const auto apply = [&](const char* name, Bytes bytes) {
    return printer.Apply({name, std::move(bytes)}, kPaper80mmDots);
  };
  apply("GS ( k", {0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x43, 0x04});        // module size 4
  apply("GS ( k", {0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x51, 0x30});        // nothing stored
  apply("GS ( k", {0x1D, 0x28, 0x6B, 0x01, 0x00, 0x31});                    // cut short
  apply("GS ( k", {0x1D, 0x28, 0x6B, 0x05, 0x00, 0x31, 0x50, 0x30, 'h', 'i'});
  apply("GS ( k", {0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x51, 0x30});
  const auto receipt = apply("GS V", {0x1D, 0x56, 0x42, 0x05});
  ASSERT_TRUE(receipt);
  // Version 1 is 21 modules square: 84 dots at 4 dots a module, then the 5-dot feed.
  EXPECT_EQ(receipt->image.height(), 84 + 5);
  EXPECT_EQ(InkColumns(receipt->image), (std::pair<int, int>{0, 83}));
}

}  // namespace
}  // namespace zelka::sim
