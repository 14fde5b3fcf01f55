// What comes out of the simulated printer: a printed picture and the stored logo in the
// rendered receipt, dot for dot.
#include <QImage>

#include "commands/catalogue.h"
#include "graphics/graphics_fixture.h"
#include "graphics/logo_store.h"
#include "graphics/picture_maker.h"
#include "graphics/picture_print.h"
#include "service/service_actions.h"

namespace zelka::testing {
namespace {

using graphics::BitmapError;

constexpr std::chrono::milliseconds kReceiptWait{5000};

// A picture of 60 × 6 dots, y from the top: a frame round the edge and a diagonal.
constexpr std::int32_t kWidth = 60;
constexpr std::int32_t kHeight = 6;
bool Black(int x, int y) {
  return y == 0 || y == kHeight - 1 || x == 0 || x == kWidth - 1 || x == y * 10;
}

// The bitmap of that picture: palette index 0 where it is black, rows bottom first.
Bytes PictureFile() {
  return MakeBitmap({kWidth, kHeight}, [](std::size_t row, std::size_t column) {
    const int y = kHeight - 1 - static_cast<int>(row);
    std::uint8_t byte = 0;
    for (int bit = 0; bit < 8; ++bit) {
      const int x = static_cast<int>(column) * 8 + bit;
      const bool white = x >= kWidth || !Black(x, y);
      byte = static_cast<std::uint8_t>(byte | (white ? 0x80 >> bit : 0));
    }
    return byte;
  });
}

// The same picture as a colour PNG: dark red on a transparent background.
Bytes PicturePng() {
  QImage image(kWidth, kHeight, QImage::Format_ARGB32);
  image.fill(qRgba(0, 0, 0, 0));
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (Black(x, y)) image.setPixel(x, y, qRgb(90, 0, 0));
    }
  }
  return Encode(image, "png");
}

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

class PrintedPictureTest : public GraphicsFixture {
 protected:
  // Cuts the paper and waits for the receipt with the port still open, as a printer
  // operation of its own.
  QImage CutAndTakeReceipt(std::size_t receipts) {
    EXPECT_TRUE(printer::OpenPrinter(*session, std::chrono::milliseconds(1000)).Ok());
    commands::FeedLines(session->Link(), 1);
    commands::CutPaper(session->Link());
    EXPECT_TRUE(sim.WaitForReceipts(receipts, kReceiptWait));
    session->Link().Close();
    const auto all = sim.Receipts();
    return all.size() < receipts ? QImage() : all[receipts - 1].image;
  }

  // The top `kHeight` rows of `image` show the picture in its first `columns` columns and
  // nothing to the right of them.
  static void ExpectPictureAtTop(const QImage& image, int columns) {
    ASSERT_GE(image.height(), kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const bool expected = x < columns && Black(x, y);
        ASSERT_EQ(Dark(image, x, y), expected) << "dot " << x << ", row " << y;
      }
    }
  }
};

TEST_F(PrintedPictureTest, PrintedPictureIsInTheReceiptTopRowFirstWithoutItsLastColumns) {
  graphics::Picture picture;
  ASSERT_EQ(graphics::LoadPicture(WriteFile("picture.bmp", PictureFile()), picture),
            BitmapError::kNone);
  ASSERT_TRUE(graphics::SendPicture(*session, picture).result.Ok());
  ASSERT_TRUE(graphics::FinishPicture(*session).Ok());
  ASSERT_TRUE(sim.WaitForReceipts(1, kReceiptWait));
  const QImage receipt = sim.Receipts().front().image;
  EXPECT_EQ(receipt.width(), 576);
  // 60 dots make 7 whole bytes: the last 4 columns are not sent.
  ExpectPictureAtTop(receipt, 56);
}

TEST_F(PrintedPictureTest, StoredLogoIsPrintedWholeUntilErased) {
  graphics::Logo logo;
  ASSERT_EQ(graphics::LoadLogo(WriteFile("logo.bmp", PictureFile()), logo), BitmapError::kNone);
  ASSERT_TRUE(graphics::SendLogo(*session, logo).Ok());
  ASSERT_EQ(graphics::ReadLogoState(*session).bitSet, true);
  const std::size_t before = tx.Writes().size();
  ASSERT_TRUE(service::PrintStoredLogo(*session).Ok());
  EXPECT_EQ(tx.Writes().size(), before + 1);
  EXPECT_EQ(tx.Writes().back(), (Bytes{0x1D, 0x2F, 0x00})) << "GS / 0 and nothing else";
  // The printer decodes the file itself: all 60 columns.
  ExpectPictureAtTop(CutAndTakeReceipt(1), kWidth);

  ASSERT_EQ(graphics::EraseLogo(*session).bitSet, false);
  ASSERT_TRUE(service::PrintStoredLogo(*session).Ok());
  const QImage blank = CutAndTakeReceipt(2);
  ASSERT_FALSE(blank.isNull());
  for (int y = 0; y < blank.height(); ++y) {
    for (int x = 0; x < blank.width(); ++x) ASSERT_FALSE(Dark(blank, x, y)) << x << ", " << y;
  }
}

// A PNG goes as a one-bit file whose width is a whole byte: every column prints, on the
// paper as in the printer's stored logo.
TEST_F(PrintedPictureTest, PngPrintsAsAPictureAndIsStoredAsTheLogoDotForDot) {
  graphics::Picture picture;
  ASSERT_EQ(graphics::LoadPicture(WriteFile("picture.png", PicturePng()), picture),
            BitmapError::kNone);
  ASSERT_TRUE(graphics::SendPicture(*session, picture).result.Ok());
  ASSERT_TRUE(graphics::FinishPicture(*session).Ok());
  ASSERT_TRUE(sim.WaitForReceipts(1, kReceiptWait));
  ExpectPictureAtTop(sim.Receipts().front().image, kWidth);

  graphics::Logo logo;
  ASSERT_EQ(graphics::LoadLogo(WriteFile("logo.png", PicturePng()), logo), BitmapError::kNone);
  ASSERT_TRUE(graphics::SendLogo(*session, logo).Ok());
  ASSERT_EQ(graphics::ReadLogoState(*session).bitSet, true);
  ASSERT_TRUE(service::PrintStoredLogo(*session).Ok());
  ExpectPictureAtTop(CutAndTakeReceipt(2), kWidth);
}

}  // namespace
}  // namespace zelka::testing
