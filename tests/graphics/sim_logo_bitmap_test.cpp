// The simulated printer's reading of logos and raster rows, and that the program's raster
// rows show the same dots as the printer's own reading of the same file.
#include <gtest/gtest.h>

#include "graphics/bitmap_maker.h"
#include "graphics/raster_rows.h"
#include "sim/logo_bitmap.h"

namespace zelka::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Set32(Bytes file, std::size_t at, std::uint32_t value) {
  PutLe32(file, at, value);
  return file;
}

TEST(SimLogoBitmapTest, IndexZeroPrintsBlackAndTheLastStoredRowIsTheTop) {
  // 10 dots: two bytes a row, the last six bits of the second are not part of the picture.
  const auto fill = [](std::size_t row, std::size_t column) -> std::uint8_t {
    if (column >= 2) return 0xAA;  // padding
    return static_cast<std::uint8_t>(column == 0 ? 0x0F + row : 0x3F);
  };
  const Bytes file = MakeBitmap({10, 3}, fill);
  const auto logo = sim::DecodeLogoBitmap(file);
  ASSERT_TRUE(logo);
  EXPECT_EQ(logo->width, 10);
  EXPECT_EQ(logo->rows, (std::vector<Bytes>{{0xEE, 0xC0}, {0xEF, 0xC0}, {0xF0, 0xC0}}));

  // The palette's colours do not matter, only the index.
  Bytes swapped = file;
  for (std::size_t i = 54; i < 62; ++i) swapped[i] = static_cast<std::uint8_t>(~swapped[i]);
  EXPECT_EQ(sim::DecodeLogoBitmap(swapped), logo);

  const auto topDown = sim::DecodeLogoBitmap(MakeBitmap({10, -3}, fill));
  ASSERT_TRUE(topDown);
  EXPECT_EQ(topDown->rows.front(), (Bytes{0xF0, 0xC0}));
}

TEST(SimLogoBitmapTest, RefusesWhatThePrinterCannotStore) {
  const Bytes good = MakeBitmap({64, 4});
  const std::pair<const char*, Bytes> cases[] = {
      {"24 bits", MakeBitmap({8, 2, 24})},
      {"compressed", Set32(good, 30, 1)},
      {"not BM", Set32(good, 0, 0x0000504B)},
      {"core header", Set32(good, 14, 12)},
      {"header past the end", Set32(good, 14, 4000)},
      {"width 0", Set32(good, 18, 0)},
      {"height INT32_MIN", Set32(good, 22, 0x80000000)},
      {"rows past the end", Set32(good, 22, 5)},
      {"offset past the end", Set32(good, 10, 0xFFFFFFF0)},
      {"cut short", Bytes(good.begin(), good.begin() + 40)},
  };
  for (const auto& [what, file] : cases) EXPECT_FALSE(sim::DecodeLogoBitmap(file)) << what;
}

TEST(SimLogoBitmapTest, RasterRowFramesAreTakenAsTheyCome) {
  const auto row = sim::DecodeRasterRow(Bytes{0x1B, 0x2E, 0x00, 0x02, 0x01, 0x00, 0xF0, 0x01});
  ASSERT_TRUE(row);
  EXPECT_EQ(*row, (sim::DotRows{16, {{0xF0, 0x01}}}));
  EXPECT_EQ(sim::DecodeRasterRow(Bytes{0x1B, 0x2E, 0x00, 0x00, 0x01, 0x00}),
            (sim::DotRows{0, {{}}}));
  EXPECT_FALSE(sim::DecodeRasterRow(Bytes{0x1B, 0x2E, 0x00, 0x02, 0x01, 0x00, 0xF0}));
  EXPECT_FALSE(sim::DecodeRasterRow(Bytes{0x1B, 0x2E, 0x00}));
}

TEST(SimLogoBitmapTest, ProgramsRasterRowsShowWhatThePrinterReadsInTheFile) {
  for (const BitmapShape shape : {BitmapShape{64, 5}, BitmapShape{576, 4}, BitmapShape{96, -3}}) {
    SCOPED_TRACE(shape.width);
    Bytes file = MakeBitmap(shape);
    const auto logo = sim::DecodeLogoBitmap(file);
    ASSERT_TRUE(logo);
    graphics::RowLayout layout;
    ASSERT_EQ(graphics::ReorderBitmapRows(file, shape.width, shape.height, layout),
              graphics::BitmapError::kNone);
    ASSERT_EQ(layout.rows, logo->rows.size());
    for (std::size_t k = 0; k < layout.rows; ++k) {
      Bytes frame(6 + 255);
      frame.resize(
          graphics::BuildRasterRowFrame(graphics::RasterRowSource(file, layout, k), frame));
      const auto dots = sim::DecodeRasterRow(frame);
      ASSERT_TRUE(dots);
      EXPECT_EQ(dots->rows[0], logo->rows[k]) << k;
    }
  }
}

}  // namespace
}  // namespace zelka::testing
