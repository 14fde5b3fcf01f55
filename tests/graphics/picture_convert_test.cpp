// Pictures that are not one-bit bitmaps (PNG, JPEG, GIF, BMP of other depths) on the picture
// and logo paths: their size on the paper, their dots (threshold, dithering, transparency),
// the one-bit file that still goes as it is, the preview, and the files refused before any
// port is opened.
#include <QImage>

#include <bit>
#include <filesystem>
#include <numeric>

#include "graphics/graphics_fixture.h"
#include "graphics/logo_store.h"
#include "graphics/messages.h"
#include "graphics/picture_convert.h"
#include "graphics/picture_maker.h"
#include "graphics/picture_preview.h"
#include "graphics/picture_print.h"

namespace zelka::testing {
namespace {

using graphics::BitmapError;
using graphics::ConversionOptions;

constexpr ConversionOptions k80mm{};
constexpr ConversionOptions k57mm{.paperDots = graphics::kPaperDots57mm};

// The dots of raster row k as the printer gets them (a set bit a black dot).
Bytes DotsOfRow(const graphics::Picture& picture, std::size_t k) {
  const auto row = graphics::RasterRowSource(picture.file, picture.layout, k);
  Bytes dots;
  for (std::uint8_t b : row) dots.push_back(static_cast<std::uint8_t>(~b));
  return dots;
}

std::size_t BlackDots(const graphics::Picture& picture) {
  std::size_t black = 0;
  for (std::size_t k = 0; k < picture.layout.rows; ++k) {
    for (std::uint8_t b : DotsOfRow(picture, k)) black += static_cast<std::size_t>(std::popcount(b));
  }
  return black;
}

class PictureConvertTest : public GraphicsFixture {
 protected:
  graphics::Picture Load(const std::string& name, const Bytes& file,
                         const ConversionOptions& options = {}) {
    graphics::Picture picture;
    EXPECT_EQ(graphics::LoadPicture(WriteFile(name, file), picture, options), BitmapError::kNone)
        << name;
    return picture;
  }
};

TEST_F(PictureConvertTest, WiderPicturesAreScaledToThePaperKeepingTheirShapeNarrowerOnesStay) {
  const Bytes photo = Encode(PhotoLike(4000, 3000), "jpeg", 90);
  ASSERT_FALSE(photo.empty());
  struct Case {
    const char* what;
    Bytes file;
    ConversionOptions options;
    std::size_t rowBytes, rows;
  };
  const Case cases[] = {
      {"4000 x 3000 photo, 80 mm", photo, k80mm, 72, 432},
      {"4000 x 3000 photo, 57 mm", photo, k57mm, 48, 288},
      {"colour gradient narrower than the paper: not scaled up, padded to a byte",
       Encode(PhotoLike(300, 100), "png"), k80mm, 38, 100},
      {"5 x 3: one byte a row", Encode(FlatGrey(5, 3, 0), "png"), k80mm, 1, 3},
      {"24-bit bitmap 1000 x 10", MakeBitmap({1000, 10, 24}), k80mm, 72, 6},
      {"8-bit bitmap at 57 mm", MakeBitmap({500, 100, 8}), k57mm, 48, 77},
      {"the first frame of a GIF", TwoFrameGif(), k80mm, 1, 1},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const graphics::Picture picture = Load("p" + std::to_string(serial++), c.file, c.options);
    EXPECT_EQ(picture.layout.rowBytes, c.rowBytes);
    EXPECT_EQ(picture.layout.rows, c.rows);
    // The converted file is a one-bit bitmap the printer's own decoder would take.
    BitmapError error = BitmapError::kNone;
    graphics::BitmapInfo info;
    error = graphics::ParseBitmapHeader(picture.file, picture.file.size(), info);
    EXPECT_EQ(error, BitmapError::kNone);
    EXPECT_EQ(info.bitsPerPixel, 1);
    EXPECT_EQ(static_cast<std::size_t>(info.width), c.rowBytes * 8);
  }
  // The GIF's first frame is black (one dot), its second white.
  const graphics::Picture gif = Load("anim.gif", TwoFrameGif());
  EXPECT_EQ(DotsOfRow(gif, 0), Bytes{0x80});
}

TEST_F(PictureConvertTest, PhotoGoesOutAsOneFrameOfPaperWidthPerRow) {
  const graphics::Picture picture =
      Load("photo.jpg", Encode(PhotoLike(4000, 3000), "jpeg", 90));
  const graphics::PictureSent sent = graphics::SendPicture(*session, picture);
  ASSERT_TRUE(sent.result.Ok());
  EXPECT_EQ(sent.rowsSent, 432u);
  const auto writes = tx.Writes();
  ASSERT_EQ(writes.size(), 432u);
  for (std::size_t k = 0; k < writes.size(); ++k) {
    ASSERT_EQ(writes[k].size(), 78u) << k;
    ASSERT_EQ(Bytes(writes[k].begin(), writes[k].begin() + 6),
              (Bytes{0x1B, 0x2E, 0x00, 72, 0x01, 0x00}))
        << k;
    ASSERT_EQ(Bytes(writes[k].begin() + 6, writes[k].end()), DotsOfRow(picture, k)) << k;
  }
  EXPECT_GT(BlackDots(picture), 0u);
}

// 16 × 3, top row first: greys 8, 24, .. 248; red and green by turns; black whose alpha
// grows 8, 24, .. 248 (on white: greys 247, 231, .. 7).
QImage ThresholdFixture() {
  QImage image(16, 3, QImage::Format_ARGB32);
  for (int x = 0; x < 16; ++x) {
    const int level = x * 16 + 8;
    image.setPixel(x, 0, qRgb(level, level, level));
    image.setPixel(x, 1, x % 2 ? qRgb(0, 255, 0) : qRgb(255, 0, 0));  // greys 149, 76
    image.setPixel(x, 2, qRgba(0, 0, 0, level));
  }
  return image;
}

TEST_F(PictureConvertTest, ThresholdGivesExactlyTheDotsBelowIt) {
  const Bytes png = Encode(ThresholdFixture(), "png");
  struct Case {
    int threshold;
    std::vector<Bytes> frames;  // the dots of each row on the wire
  };
  const Case cases[] = {
      {128, {{0xFF, 0x00}, {0xAA, 0xAA}, {0x00, 0xFF}}},
      {150, {{0xFF, 0x80}, {0xFF, 0xFF}, {0x01, 0xFF}}},
      {0, {{0x00, 0x00}, {0x00, 0x00}, {0x00, 0x00}}},
      {255, {{0xFF, 0xFF}, {0xFF, 0xFF}, {0xFF, 0xFF}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.threshold);
    const std::size_t before = tx.Writes().size();
    const graphics::Picture picture =
        Load("t" + std::to_string(c.threshold) + ".png", png, {.threshold = c.threshold});
    ASSERT_TRUE(graphics::SendPicture(*session, picture).result.Ok());
    std::vector<Bytes> expected;
    for (const Bytes& dots : c.frames) {
      Bytes frame{0x1B, 0x2E, 0x00, 0x02, 0x01, 0x00};
      frame.insert(frame.end(), dots.begin(), dots.end());
      expected.push_back(frame);
    }
    const auto all = tx.Writes();
    EXPECT_EQ(std::vector<Bytes>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()),
              expected);
  }
}

TEST_F(PictureConvertTest, DitheringKeepsTheShareOfBlackOfAFlatGrey) {
  for (const int grey : {0, 32, 64, 128, 192, 224, 255}) {
    SCOPED_TRACE(grey);
    const graphics::Picture picture =
        Load("g" + std::to_string(grey) + ".png", Encode(FlatGrey(200, 200, grey), "png"));
    ASSERT_EQ(picture.layout.rowBytes, 25u);
    const double share = static_cast<double>(BlackDots(picture)) / (200.0 * 200.0);
    EXPECT_NEAR(share, (255.0 - grey) / 255.0, 0.02);
  }
  // Dithering, not a threshold: grey 64 is not all black.
  const graphics::Picture thresholded =
      Load("g64t.png", Encode(FlatGrey(200, 200, 64), "png"), {.threshold = 128});
  EXPECT_EQ(BlackDots(thresholded), 200u * 200u);
}

TEST_F(PictureConvertTest, TransparencyIsFlattenedOntoWhite) {
  QImage clear(100, 50, QImage::Format_ARGB32);
  clear.fill(qRgba(0, 0, 0, 0));  // black, but not there
  const Bytes png = Encode(clear, "png");
  for (const ConversionOptions& options :
       {ConversionOptions{}, ConversionOptions{.threshold = 255}}) {
    const graphics::Picture picture = Load("clear.png", png, options);
    EXPECT_EQ(picture.layout.rows, 50u);
    EXPECT_EQ(BlackDots(picture), 0u);
  }
}

TEST_F(PictureConvertTest, OneBitBitmapGoesAsTodayWhateverTheOptions) {
  // Wider than 57 mm paper, its width not a whole byte, stored bottom row first.
  const Bytes file = MakeBitmap({1001, 5});
  Bytes reordered = file;
  graphics::RowLayout layout;
  ASSERT_EQ(graphics::ReorderBitmapRows(reordered, 1001, 5, layout), BitmapError::kNone);
  for (const ConversionOptions& options : {k80mm, k57mm, ConversionOptions{.threshold = 3}}) {
    const graphics::Picture picture = Load("one-bit.bmp", file, options);
    EXPECT_EQ(picture.file, reordered);
    EXPECT_EQ(picture.layout.rowBytes, 125u);
    EXPECT_EQ(picture.layout.rows, 5u);
  }
  // And one that Qt wrote: one bit a pixel too.
  QImage mono(64, 4, QImage::Format_Mono);
  mono.fill(1);
  mono.setPixel(3, 2, 0);
  const Bytes qtFile = Encode(mono, "bmp");
  ASSERT_EQ(qtFile[28], 1);
  graphics::Logo logo;
  ASSERT_EQ(graphics::LoadLogo(WriteFile("qt.bmp", qtFile), logo, k57mm), BitmapError::kNone);
  EXPECT_EQ(logo.file, qtFile);
}

TEST_F(PictureConvertTest, BadPicturesAreRefusedBeforeAnyPortOpens) {
  const Bytes png = Encode(PhotoLike(200, 100), "png");
  const Bytes jpeg = Encode(PhotoLike(640, 480), "jpeg", 90);
  Bytes damagedPng = png;
  for (std::size_t i = png.size() / 2; i < png.size() / 2 + 16; ++i) damagedPng[i] ^= 0x5A;
  Bytes damagedJpeg = jpeg;
  // The start-of-frame marker replaced: no picture size to read.
  for (std::size_t i = 2; i + 1 < damagedJpeg.size(); ++i) {
    if (damagedJpeg[i] == 0xFF && damagedJpeg[i + 1] == 0xC0) {
      damagedJpeg[i + 1] = 0x01;
      break;
    }
  }
  QImage white(576, 10'000, QImage::Format_Grayscale8);
  white.fill(255);
  const Bytes tall = Encode(white, "png");
  struct Case {
    const char* what;
    Bytes file;
    BitmapError picture;
    BitmapError logo;
  };
  const Case cases[] = {
      {"PNG cut in half", Cut(png, png.size() / 2), BitmapError::kCorruptPicture,
       BitmapError::kCorruptPicture},
      {"PNG with damaged pixel data", damagedPng, BitmapError::kCorruptPicture,
       BitmapError::kCorruptPicture},
      {"JPEG cut in half", Cut(jpeg, jpeg.size() / 2), BitmapError::kCorruptPicture,
       BitmapError::kCorruptPicture},
      {"JPEG cut after its header", Cut(jpeg, 700), BitmapError::kCorruptPicture,
       BitmapError::kCorruptPicture},
      {"JPEG without its frame header", damagedJpeg, BitmapError::kCorruptPicture,
       BitmapError::kCorruptPicture},
      {"PNG signature alone", Cut(png, 8), BitmapError::kCorruptPicture,
       BitmapError::kCorruptPicture},
      {"9000 x 9000 claimed: over the pixel cap", PngClaiming(png, 9000, 9000),
       BitmapError::kTooManyPixels, BitmapError::kTooManyPixels},
      {"70000 x 10 claimed", PngClaiming(png, 70'000, 10), BitmapError::kTooManyPixels,
       BitmapError::kTooManyPixels},
      {"2^31 - 1 square claimed", PngClaiming(png, 0x7FFFFFFF, 0x7FFFFFFF),
       BitmapError::kCorruptPicture, BitmapError::kCorruptPicture},
      {"text", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}, BitmapError::kNotPicture,
       BitmapError::kNotPicture},
      {"an icon: a picture, but not of the kinds printed", Encode(FlatGrey(16, 16, 0), "ico"),
       BitmapError::kNotPicture, BitmapError::kNotPicture},
      // 62 + 72 × 10000 bytes: past the picture buffer, within the logo's room.
      {"576 x 10000", tall, BitmapError::kConvertedTooLarge, BitmapError::kNone},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_FALSE(c.file.empty());
    const std::string path = WriteFile("bad" + std::to_string(serial++), c.file);
    graphics::Picture picture{{0xAA}, {.rows = 7}};
    graphics::Logo logo{{0xBB}};
    EXPECT_EQ(graphics::LoadPicture(path, picture), c.picture);
    EXPECT_EQ(graphics::LoadLogo(path, logo), c.logo);
    if (c.picture != BitmapError::kNone) {
      EXPECT_EQ(picture.file, Bytes{0xAA});
    }
    if (c.logo != BitmapError::kNone) {
      EXPECT_EQ(logo.file, Bytes{0xBB});
    }
  }
  // Longer than any picture file read: refused by its length, nothing of it read.
  const std::string huge = WriteFile("huge.png", Cut(png, 100));
  std::filesystem::resize_file(huge, graphics::kMaxSourceFileBytes + 1);
  graphics::Picture picture;
  graphics::Logo logo;
  EXPECT_EQ(graphics::LoadPicture(huge, picture), BitmapError::kSourceTooLarge);
  EXPECT_EQ(graphics::LoadLogo(huge, logo), BitmapError::kSourceTooLarge);

  EXPECT_TRUE(sim.Log().empty());
  EXPECT_TRUE(tx.Writes().empty());
  EXPECT_FALSE(PortIsOpen());
}

TEST_F(PictureConvertTest, DecoderStaysWithinTheLimitsItIsGiven) {
  const Bytes png = Encode(PhotoLike(1000, 1000), "png");
  struct Case {
    graphics::DecodeLimits limits;
    BitmapError expected;
  };
  const Case cases[] = {
      {{.maxPixels = 999'999, .allocationLimitMb = 64}, BitmapError::kTooManyPixels},
      {{.maxPixels = 1'000'000, .allocationLimitMb = 1}, BitmapError::kCorruptPicture},
      {{.maxPixels = 1'000'000, .allocationLimitMb = 4}, BitmapError::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limits.allocationLimitMb);
    graphics::Picture picture;
    EXPECT_EQ(graphics::PictureFromBytes(png, {}, picture, c.limits), c.expected);
  }
  // The defaults take a 4000 x 3000 photo, decoded at four bytes a pixel.
  EXPECT_GE(graphics::kMaxSourcePixels, 4000u * 3000u);
  EXPECT_GE(std::uint64_t{graphics::kDecoderAllocationLimitMb} << 20,
            graphics::kMaxSourcePixels * 4);
}

TEST_F(PictureConvertTest, PreviewIsTheDotsThatPrintWrittenAsPng) {
  const graphics::Picture picture = Load("fixture.png", Encode(ThresholdFixture(), "png"),
                                         {.threshold = 128});
  const QImage dots = graphics::PictureDots(picture);
  ASSERT_EQ(dots.size(), QSize(16, 3));
  const std::string out = PathOf("preview.png");
  ASSERT_TRUE(graphics::WritePreviewPng(dots, out).Ok());
  const QImage read(QString::fromStdString(out));
  ASSERT_EQ(read.size(), QSize(16, 3));
  for (int y = 0; y < 3; ++y) {
    const Bytes row = DotsOfRow(picture, static_cast<std::size_t>(y));
    for (int x = 0; x < 16; ++x) {
      const bool black = (row[static_cast<std::size_t>(x / 8)] & (0x80 >> (x % 8))) != 0;
      EXPECT_EQ(qGray(read.pixel(x, y)) < 128, black) << x << ", " << y;
    }
  }
  // The logo's dots are those of its whole file, also of a one-bit file as it is.
  graphics::Logo logo;
  ASSERT_EQ(graphics::LoadLogo(WriteFile("l.bmp", MakeBitmap({60, 2})), logo), BitmapError::kNone);
  EXPECT_EQ(graphics::LogoDots(logo).size(), QSize(60, 2));
  const files::WriteResult noDirectory = graphics::WritePreviewPng(dots, PathOf("no-such-dir/preview.png"));
  EXPECT_EQ(noDirectory.error, files::WriteError::kFailed);
  EXPECT_EQ(noDirectory.systemReason, "No such file or directory");
  EXPECT_EQ(graphics::WritePreviewPng(QImage(), PathOf("empty.png")).error, files::WriteError::kFailed);
  EXPECT_FALSE(std::filesystem::exists(PathOf("empty.png")));
  EXPECT_TRUE(tx.Writes().empty());
}

}  // namespace
}  // namespace zelka::testing
