// Pictures made to cost their decoder far more than their size says, and pictures cut
// short where their decoder would not notice: each is refused before it is decoded, or
// decoded without the parts the decoder need not read; what people print still prints.
#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include "graphics/bitmap_rle.h"
#include "graphics/crafted_pictures.h"
#include "graphics/decoder_input.h"
#include "graphics/graphics_fixture.h"
#include "graphics/jpeg_markers.h"
#include "graphics/logo_store.h"
#include "graphics/picture_convert.h"
#include "graphics/picture_preview.h"
#include "graphics/picture_print.h"

namespace zelka::testing {
namespace {

using graphics::BitmapError;
using graphics::PictureFormat;

std::uint8_t Checks(int x, int y) { return static_cast<std::uint8_t>((x / 20 + y / 20) % 2 ? 0 : 255); }

class CraftedPicturesTest : public GraphicsFixture {
 protected:
  // The picture's dots as they would print, or a null image when it is refused with
  // `expected` (also as a logo).
  QImage Dots(const std::string& name, const Bytes& file, BitmapError expected) {
    const std::string path = WriteFile(name, file);
    graphics::Picture picture;
    graphics::Logo logo;
    EXPECT_EQ(graphics::LoadPicture(path, picture), expected) << name;
    EXPECT_EQ(graphics::LoadLogo(path, logo), expected) << name;
    return expected == BitmapError::kNone ? graphics::PictureDots(picture) : QImage();
  }
};

TEST_F(CraftedPicturesTest, JpegsThatWouldKeepTheDecoderBusyOrHoldTooMuchAreRefused) {
  struct Case {
    const char* what;
    Bytes file;
    BitmapError expected;
  };
  const Case cases[] = {
      {"8000 x 6000 grey, 20,000 scans (minutes of decoding)", ManyScanJpeg(8000, 6000, 1, 20'000),
       BitmapError::kTooCostlyToDecode},
      {"8000 x 6000, 3 components, 4 scans: 288 MB of coefficients",
       ManyScanJpeg(8000, 6000, 3, 4), BitmapError::kTooCostlyToDecode},
      {"8000 x 6000, 4 components, 5 scans: 384 MB of coefficients",
       ManyScanJpeg(8000, 6000, 4, 5), BitmapError::kTooCostlyToDecode},
      {"64 x 64 of 101 scans", ManyScanJpeg(64, 64, 1, 101), BitmapError::kTooCostlyToDecode},
      {"64 x 64 of 100 scans: the most taken", ManyScanJpeg(64, 64, 1, 100), BitmapError::kNone},
      {"8000 x 6000 grey, 2 scans: 96 MB of coefficients, within the decoder's limit",
       ManyScanJpeg(8000, 6000, 1, 2), BitmapError::kNone},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Dots("scans" + std::to_string(serial++) + ".jpg", c.file, c.expected);
  }
  // What encoders write: a progressive JPEG of 10 scans, a plain one.
  for (const bool progressive : {true, false}) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    ASSERT_TRUE(writer.write(PhotoLike(1200, 900)));
    const Bytes file(bytes.begin(), bytes.end());
    EXPECT_EQ(graphics::ReadJpegLayout(file).scans, progressive ? 10u : 1u);
    EXPECT_EQ(Dots("photo.jpg", file, BitmapError::kNone).size(), QSize(576, 432));
  }
  EXPECT_TRUE(sim.Log().empty());
  EXPECT_TRUE(tx.Writes().empty());
}

TEST_F(CraftedPicturesTest, CoefficientsAreCountedAsTheDecoderAllocatesThem) {
  using graphics::JpegComponent;
  struct Case {
    const char* what;
    graphics::JpegLayout layout;
    std::uint64_t bytes;
  };
  const auto layout = [](std::uint32_t w, std::uint32_t h, bool progressive,
                         std::vector<JpegComponent> components, std::size_t scans,
                         std::size_t first) {
    graphics::JpegLayout l;
    l.width = w;
    l.height = h;
    l.progressive = progressive;
    l.components = std::move(components);
    l.scans = scans;
    l.firstScanComponents = first;
    return l;
  };
  const std::vector<JpegComponent> yuv420{{2, 2}, {1, 1}, {1, 1}};
  const Case cases[] = {
      {"one interleaved scan: a few rows of blocks at a time",
       layout(8000, 6000, false, yuv420, 1, 3), 0},
      // Y: 13 blocks across rounded to 14, 8 down; Cb, Cr: 7 × 4 each.
      {"progressive 4:2:0, 100 x 60", layout(100, 60, true, yuv420, 10, 3), (112 + 56) * 128},
      {"plain, each component in a scan of its own", layout(100, 60, false, yuv420, 3, 1),
       (112 + 56) * 128},
      {"progressive grey 8000 x 6000", layout(8000, 6000, true, {{1, 1}}, 2, 1), 96'000'000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(graphics::JpegCoefficientBytes(c.layout), c.bytes);
  }
  // The limit the decoder is given bounds them.
  const Bytes file = ManyScanJpeg(2048, 2048, 1, 2);  // 65,536 blocks: 8 MiB
  graphics::Picture picture;
  EXPECT_EQ(graphics::PictureFromBytes(file, {}, picture, {.allocationLimitMb = 8}),
            BitmapError::kNone);
  EXPECT_EQ(graphics::PictureFromBytes(file, {}, picture, {.allocationLimitMb = 7}),
            BitmapError::kTooCostlyToDecode);
  EXPECT_EQ(graphics::PictureFromBytes(file, {}, picture, {.maxScans = 1}),
            BitmapError::kTooCostlyToDecode);
}

TEST_F(CraftedPicturesTest, TextOfAPngIsLeftOutAndThePicturePrintsTheSame) {
  const Bytes png = Encode(PhotoLike(40, 30), "png");
  const QImage plain = Dots("plain.png", png, BitmapError::kNone);
  struct Case {
    const char* type;
    std::size_t count, bytes;
  };
  // 50 × 7.9 MB of compressed text took 2 GB to read, 1,000 of them more than there was.
  const Case cases[] = {{"zTXt", 50, 7'900'000}, {"zTXt", 1000, 7'900'000},
                        {"iTXt", 50, 7'900'000}, {"tEXt", 50, 10'000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " x " + std::to_string(c.count));
    const Bytes file = PngWithText(png, c.type, c.count, c.bytes);
    EXPECT_EQ(graphics::InspectForDecoder(file, PictureFormat::kPng).trimmed, png);
    EXPECT_EQ(Dots(std::string(c.type) + ".png", file, BitmapError::kNone), plain);
  }
  // A chunk that runs past the end marks a PNG cut short, or a broken length: it is
  // refused before the decoder takes that length at its word. A text chunk claiming
  // 1.4 GB (after the file's 50 bytes of text, which are left out) kept the decoder busy
  // for 25 s and took 2 GB.
  const Bytes withText = PngWithText(png, "zTXt", 2, 1000);
  const graphics::DecoderInput cut = graphics::InspectForDecoder(Cut(withText, 60), PictureFormat::kPng);
  EXPECT_TRUE(cut.trimmed.empty());
  EXPECT_FALSE(cut.complete);
  Dots("cut.png", Cut(withText, withText.size() - 30), BitmapError::kCorruptPicture);
  Bytes claims = PngWithText(png, "zTXt", 1, 50);
  const std::size_t afterText = 8 + 25 + (claims.size() - png.size());  // signature, IHDR, text
  const Bytes huge{0x57, 0xB3, 0x00, 0x26, 'z', 'T', 'X', 't', 'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0, 0x78, 0xDA};
  claims.insert(claims.begin() + static_cast<std::ptrdiff_t>(afterText), huge.begin(), huge.end());
  EXPECT_FALSE(graphics::InspectForDecoder(claims, PictureFormat::kPng).complete);
  Dots("claims.png", claims, BitmapError::kCorruptPicture);
}

TEST_F(CraftedPicturesTest, CommentsOfAJpegAreLeftOutItsOrientationKept) {
  const Bytes plain = Encode(PhotoLike(64, 32), "jpeg");
  const Bytes turned = JpegWithOrientation(plain, 6);
  const QImage upright = Dots("turned.jpg", turned, BitmapError::kNone);
  ASSERT_EQ(upright.size(), QSize(32, 64));
  // 760 comments of 64 kB (a 50 MB file) took 13 s and 300 MB to read. An XMP segment (a
  // second APP1) and an ICC profile (APP2) are of no use for the dots either.
  const Bytes xmp{'h', 't', 't', 'p', ':', '/', '/', 'n', 's', '.', 'a', 'd', 'o', 'b', 'e'};
  Bytes crafted = JpegWithSegments(plain, 0xE1, xmp, 1);
  crafted = JpegWithOrientation(crafted, 6);
  crafted = JpegWithSegments(crafted, 0xE2, Bytes{'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0}, 3);
  crafted = JpegWithSegments(crafted, 0xFE, Bytes(65'533, 'x'), 760);
  EXPECT_EQ(graphics::InspectForDecoder(crafted, PictureFormat::kJpeg).trimmed, turned);
  EXPECT_EQ(Dots("segments.jpg", crafted, BitmapError::kNone), upright);
}

TEST_F(CraftedPicturesTest, GifOrRleBitmapWhoseDataEndEarlyIsRefused) {
  const Bytes gif = MakeGif(400, 400, Checks);
  const auto rle = [](std::int32_t rows, bool endCode) {
    return MakeRle8Bitmap(400, 400, Checks, rows, endCode);
  };
  struct Case {
    const char* what;
    Bytes file;
    BitmapError expected;
  };
  const Case cases[] = {
      {"GIF 400 x 400", gif, BitmapError::kNone},
      {"GIF cut to a third", Cut(gif, gif.size() / 3), BitmapError::kCorruptPicture},
      {"GIF without its last 100 bytes", Cut(gif, gif.size() - 100), BitmapError::kCorruptPicture},
      {"GIF without its trailer: every pixel is there", Cut(gif, gif.size() - 1),
       BitmapError::kNone},
      {"GIF whose codes end after half its pixels", MakeGif(400, 400, Checks, 80'000),
       BitmapError::kCorruptPicture},
      {"GIF header alone", Cut(gif, 13 + 768), BitmapError::kCorruptPicture},
      {"RLE8 bitmap 400 x 400", rle(400, true), BitmapError::kNone},
      {"RLE8 without its end code: every row is there", rle(400, false), BitmapError::kNone},
      {"RLE8 whose data stop after a third of its rows", rle(133, false),
       BitmapError::kRowsPastEnd},
      {"RLE8 that ends its bitmap after a third of its rows", rle(133, true),
       BitmapError::kRowsPastEnd},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QImage dots = Dots("cut" + std::to_string(serial++), c.file, c.expected);
    if (c.expected == BitmapError::kNone) {
      ASSERT_EQ(dots.size(), QSize(400, 400));
      // The last row is there, squares of black and white, not blank.
      EXPECT_NE(qGray(dots.pixel(10, 399)), qGray(dots.pixel(30, 399)));
    }
  }
  EXPECT_TRUE(sim.Log().empty());
  EXPECT_TRUE(tx.Writes().empty());
}

TEST(RleRowsTest, CodedRowsReachTheEndOfThePicture) {
  // 8 × 2 bitmaps: a 14-byte file header, a 40-byte information header, pixels at 54.
  const auto file = [](std::uint32_t compression, Bytes data) {
    Bytes f(54, 0);
    f.insert(f.end(), data.begin(), data.end());
    graphics::BitmapInfo info;
    info.pixelOffset = 54;
    info.width = 8;
    info.height = 2;
    info.bitsPerPixel = compression == graphics::kCompressionRle4 ? 4 : 8;
    info.compression = compression;
    return graphics::RleRowsComplete(f, info);
  };
  const std::uint32_t rle8 = graphics::kCompressionRle8;
  const std::uint32_t rle4 = graphics::kCompressionRle4;
  EXPECT_TRUE(file(rle8, {8, 1, 0, 0, 8, 2, 0, 0, 0, 1}));  // two rows, end of bitmap
  EXPECT_TRUE(file(rle8, {8, 1, 0, 0, 8, 2}));              // the last row full, no end code
  EXPECT_FALSE(file(rle8, {8, 1, 0, 0, 7, 2}));             // the last row short of a pixel
  EXPECT_FALSE(file(rle8, {8, 1, 0, 0}));                   // one row of two
  EXPECT_FALSE(file(rle8, {8, 1, 0, 1}));                   // ended after one row
  EXPECT_TRUE(file(rle8, {0, 2, 0, 1, 8, 2}));              // moved down a row, then the last
  EXPECT_TRUE(file(rle8, {8, 1, 0, 0, 0, 8, 1, 2, 3, 4, 5, 6, 7, 8}));  // pixels as they are
  EXPECT_FALSE(file(rle8, {8, 1, 0, 0, 0, 8, 1, 2, 3}));                 // ... cut short
  // RLE4: 5 pixels as they are take 3 bytes, padded to 4.
  EXPECT_TRUE(file(rle4, {8, 0x12, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 3, 0x11}));
  EXPECT_FALSE(file(rle4, {8, 0x12, 0, 0, 0, 5, 0x12, 0x34}));
  EXPECT_TRUE(file(graphics::kCompressionNone, {}));
}

}  // namespace
}  // namespace zelka::testing
