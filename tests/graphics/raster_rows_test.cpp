// From stored bitmap rows to raster row frames: the reordering in place, the inversion,
// the bytes dropped at the right edge, and the bounds against a lying header.
#include "graphics/raster_rows.h"

#include <gtest/gtest.h>

#include <limits>

#include "graphics/bitmap_maker.h"

namespace zelka::testing {
namespace {

using graphics::BitmapError;
using graphics::RowLayout;
using Bytes = std::vector<std::uint8_t>;

Bytes Slice(const Bytes& b, std::size_t from, std::size_t to) {
  return {b.begin() + static_cast<std::ptrdiff_t>(from),
          b.begin() + static_cast<std::ptrdiff_t>(to)};
}

Bytes WithOffset(Bytes b, std::uint32_t offset) {
  PutLe32(b, 10, offset);
  return b;
}

Bytes Inverted(Bytes b) {
  for (auto& x : b) x = static_cast<std::uint8_t>(~x);
  return b;
}

// Every frame of a file: reorder, then one frame per raster row.
std::vector<Bytes> Frames(Bytes& file, std::int32_t width, std::int32_t height) {
  RowLayout layout;
  EXPECT_EQ(graphics::ReorderBitmapRows(file, width, height, layout), BitmapError::kNone);
  std::vector<Bytes> frames;
  for (std::size_t k = 0; k < layout.rows; ++k) {
    Bytes frame(6 + 255);
    frame.resize(graphics::BuildRasterRowFrame(graphics::RasterRowSource(file, layout, k), frame));
    frames.push_back(frame);
  }
  return frames;
}

Bytes Frame(const Bytes& row) {
  Bytes f{0x1B, 0x2E, 0x00, static_cast<std::uint8_t>(row.size()), 0x01, 0x00};
  const Bytes inv = Inverted(row);
  f.insert(f.end(), inv.begin(), inv.end());
  return f;
}

TEST(RasterRowsTest, WidePictureOfTwoRowsComesTopRowFirst) {
  // W = 576, H = 2, O = 62: R = S = 72; raster row 0 is file bytes 134..205.
  Bytes file = MakeBitmap({576, 2});
  const Bytes original = file;
  RowLayout layout;
  ASSERT_EQ(graphics::ReorderBitmapRows(file, 576, 2, layout), BitmapError::kNone);
  EXPECT_EQ(layout.pixelOffset, 62u);
  EXPECT_EQ(layout.rowBytes, 72u);
  EXPECT_EQ(layout.storedRowBytes, 72u);
  EXPECT_EQ(layout.rows, 2u);

  file = original;
  const auto frames = Frames(file, 576, 2);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], Frame(Slice(original, 134, 206)));
  EXPECT_EQ(frames[1], Frame(Slice(original, 62, 134)));
  EXPECT_EQ(frames[0].size(), 78u);
}

TEST(RasterRowsTest, WidthsThatAreNotWholeBytesOrWords) {
  struct Case {
    std::int32_t width;
    std::size_t r, s;
  };
  const Case cases[] = {{100, 12, 16}, {384, 48, 48}, {7, 0, 4},       {1, 0, 4},
                        {8, 1, 4},     {33, 4, 8},    {2047, 255, 256}};
  for (const Case& c : cases) {
    Bytes file = MakeBitmap({c.width, 3});
    const Bytes original = file;
    RowLayout layout;
    ASSERT_EQ(graphics::ReorderBitmapRows(file, c.width, 3, layout), BitmapError::kNone) << c.width;
    EXPECT_EQ(layout.rowBytes, c.r) << c.width;
    EXPECT_EQ(layout.storedRowBytes, c.s) << c.width;
    for (std::size_t row = 0; row < 3; ++row) {
      const std::size_t start = 62 + row * c.s;
      // Row 0 and 2 trade their first R bytes; the padding beyond R stays put.
      const std::size_t from = 62 + (2 - row) * c.s;
      EXPECT_EQ(Slice(file, start, start + c.r), Slice(original, from, from + c.r)) << c.width;
      EXPECT_EQ(Slice(file, start + c.r, start + c.s), Slice(original, start + c.r, start + c.s))
          << c.width;
    }
    file = original;
    for (const Bytes& frame : Frames(file, c.width, 3)) EXPECT_EQ(frame.size(), 6 + c.r) << c.width;
  }
}

TEST(RasterRowsTest, DotsAreTheInversePaletteIndices) {
  // Stored 0x0F: the left four pixels index 0 (black) print, the right four stay white.
  Bytes file = MakeBitmap(
      {16, 1}, [](std::size_t, std::size_t c) -> std::uint8_t { return c == 0 ? 0x0F : 0xFF; });
  const auto frames = Frames(file, 16, 1);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], (Bytes{0x1B, 0x2E, 0x00, 0x02, 0x01, 0x00, 0xF0, 0x00}));
}

// Why CheckPrintable refuses pictures under 8 dots: their frames carry no dots at all.
TEST(RasterRowsTest, NarrowPictureGivesEmptyFramesOnePerRow) {
  Bytes file = MakeBitmap({6, 5});
  const auto frames = Frames(file, 6, 5);
  ASSERT_EQ(frames.size(), 5u);
  for (const Bytes& f : frames) EXPECT_EQ(f, (Bytes{0x1B, 0x2E, 0x00, 0x00, 0x01, 0x00}));
}

TEST(RasterRowsTest, OnlyTheRowsThatChangePlaceAreTouched) {
  struct Case {
    const char* what;
    BitmapShape shape;
    std::vector<std::size_t> frameFromStoredRow;  // raster row k shows this stored row
  };
  const Case cases[] = {
      {"one row", {24, 1}, {0}},
      {"odd height: the middle row stays", {24, 5}, {4, 3, 2, 1, 0}},
      {"even height", {24, 4}, {3, 2, 1, 0}},
      {"top-down rows are in order already", {24, -3}, {0, 1, 2}},
      {"124-byte header: rows from 146", {24, 3, 1, 124}, {2, 1, 0}},
  };
  for (const Case& c : cases) {
    Bytes file = MakeBitmap(c.shape);
    const Bytes original = file;
    const std::size_t offset = PixelOffsetOf(c.shape);
    const std::size_t s = StoredRowSize(c.shape.width, 1);
    const auto frames = Frames(file, c.shape.width, c.shape.height);
    ASSERT_EQ(frames.size(), c.frameFromStoredRow.size()) << c.what;
    for (std::size_t k = 0; k < frames.size(); ++k) {
      const std::size_t from = offset + c.frameFromStoredRow[k] * s;
      EXPECT_EQ(frames[k], Frame(Slice(original, from, from + 3))) << c.what << ", row " << k;
    }
    if (c.shape.height < 0 || frames.size() == 1) {
      EXPECT_EQ(file, original) << c.what << ": nothing moves";
    } else if (frames.size() % 2 == 1) {
      const std::size_t middle = offset + frames.size() / 2 * s;
      EXPECT_EQ(Slice(file, middle, middle + s), Slice(original, middle, middle + s)) << c.what;
    }
    EXPECT_EQ(Slice(file, 0, offset), Slice(original, 0, offset))
        << c.what << ": headers untouched";
  }
}

TEST(RasterRowsTest, ALyingHeaderChangesNothing) {
  const Bytes good = MakeBitmap({64, 4});  // O = 62, S = 8, 94 bytes
  struct Case {
    const char* what;
    Bytes file;
    std::int32_t width, height;
    BitmapError expected;
  };
  const Case cases[] = {
      {"more rows than stored", good, 64, 5, BitmapError::kRowsPastEnd},
      {"wider than stored", good, 96, 4, BitmapError::kRowsPastEnd},
      {"offset past the end", WithOffset(good, 94), 64, 4, BitmapError::kBadPixelOffset},
      {"offset 0xFFFFFFFF", WithOffset(good, 0xFFFFFFFF), 64, 4, BitmapError::kBadPixelOffset},
      {"offset leaves too little", WithOffset(good, 63), 64, 4, BitmapError::kRowsPastEnd},
      {"width 0", good, 0, 4, BitmapError::kBadDimensions},
      {"negative width", good, -64, 4, BitmapError::kBadDimensions},
      {"height 0", good, 64, 0, BitmapError::kBadDimensions},
      {"height INT32_MIN", good, 64, std::numeric_limits<std::int32_t>::min(),
       BitmapError::kBadDimensions},
      {"width INT32_MAX", good, std::numeric_limits<std::int32_t>::max(), 4,
       BitmapError::kBadDimensions},
      {"shorter than a file header", Bytes(good.begin(), good.begin() + 13), 64, 4,
       BitmapError::kNotBitmap},
  };
  for (const Case& c : cases) {
    Bytes file = c.file;
    RowLayout layout;
    layout.rows = 99;
    EXPECT_EQ(graphics::ReorderBitmapRows(file, c.width, c.height, layout), c.expected) << c.what;
    EXPECT_EQ(file, c.file) << c.what;
    EXPECT_EQ(layout.rows, 99u) << c.what << ": layout left as it was";
  }
}

TEST(RasterRowsTest, PicturePathTakesOneBitRowsThatFitAFrame) {
  struct Case {
    graphics::BitmapInfo info;
    BitmapError expected;
  };
  const Case cases[] = {
      {{.width = 576, .height = 10, .bitsPerPixel = 1}, BitmapError::kNone},
      {{.width = 2047, .height = -10, .bitsPerPixel = 1}, BitmapError::kNone},
      {{.width = 2048, .height = 10, .bitsPerPixel = 1}, BitmapError::kTooWide},
      {{.width = 576, .height = 10, .bitsPerPixel = 8}, BitmapError::kNotOneBit},
      {{.width = 576, .height = 10, .bitsPerPixel = 24}, BitmapError::kNotOneBit},
      {{.width = 576, .height = 10, .bitsPerPixel = 1, .compression = 3}, BitmapError::kNotOneBit},
      {{.width = 8, .height = 10, .bitsPerPixel = 1}, BitmapError::kNone},
      {{.width = 7, .height = 10, .bitsPerPixel = 1}, BitmapError::kTooNarrow},
      {{.width = 1, .height = -3, .bitsPerPixel = 1}, BitmapError::kTooNarrow},
      // The depth is looked at first: a narrow colour picture is told it is in colour.
      {{.width = 7, .height = 10, .bitsPerPixel = 24}, BitmapError::kNotOneBit},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(graphics::CheckPrintable(c.info), c.expected)
        << c.info.width << "/" << c.info.bitsPerPixel;
  }
}

TEST(RasterRowsTest, FrameBuilderRefusesWhatDoesNotFit) {
  Bytes frame(300, 0xEE);
  const Bytes row(256, 0x00);
  EXPECT_EQ(graphics::BuildRasterRowFrame(row, frame), 0u);
  EXPECT_EQ(graphics::BuildRasterRowFrame(std::span(row).first(255), frame), 261u);
  EXPECT_EQ(frame[3], 255);
  Bytes small(10, 0xEE);
  EXPECT_EQ(graphics::BuildRasterRowFrame(std::span(row).first(5), small), 0u);
  EXPECT_EQ(small, Bytes(10, 0xEE));
}

}  // namespace
}  // namespace zelka::testing
