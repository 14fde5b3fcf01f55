// Files that the picture print (Button3) and the logo load (Button8) must refuse: each
// gets its message, nothing is sent, no port is left open and Label4 keeps its text. The
// two paths differ where the printer decodes the logo itself.
#include <sys/stat.h>

#include <filesystem>

#include "graphics/bitmap_error.h"
#include "graphics/graphics_fixture.h"
#include "graphics/logo_store.h"
#include "graphics/messages.h"
#include "graphics/picture_print.h"
#include "link/serial_link.h"

namespace zelka::testing {
namespace {

using graphics::BitmapError;
using Bytes = std::vector<std::uint8_t>;

class BadFilesTest : public GraphicsFixture {
 protected:
  void SetUp() override {
    GraphicsFixture::SetUp();
    MakePrinterForm();
  }
};

Bytes Cut(Bytes file, std::size_t length) {
  file.resize(length);
  return file;
}

TEST_F(BadFilesTest, EachIsRefusedWithItsReasonAndSendsNothing) {
  const Bytes good = MakeBitmap({576, 4});  // O = 62, S = 72, 350 bytes
  struct Case {
    const char* what;
    Bytes file;
    BitmapError picture;  // kNone: accepted and sent
    BitmapError logo;
  };
  const Case cases[] = {
      {"empty", Bytes{}, BitmapError::kNotBitmap, BitmapError::kNotBitmap},
      {"not a bitmap", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       BitmapError::kNotBitmap, BitmapError::kNotBitmap},
      {"header cut short", Cut(good, 30), BitmapError::kTruncatedHeader,
       BitmapError::kTruncatedHeader},
      {"rows past the end", WithLe32(good, 22, 40), BitmapError::kRowsPastEnd,
       BitmapError::kRowsPastEnd},
      {"pixel data beyond the file", WithLe32(good, 10, 5000), BitmapError::kBadPixelOffset,
       BitmapError::kBadPixelOffset},
      {"width 0", WithLe32(good, 18, 0), BitmapError::kBadDimensions, BitmapError::kBadDimensions},
      {"negative width", WithLe32(good, 18, 0xFFFFFD00), BitmapError::kBadDimensions,
       BitmapError::kBadDimensions},
      {"absurd height", WithLe32(good, 22, 0x7FFFFFFF), BitmapError::kBadDimensions,
       BitmapError::kBadDimensions},
      {"height 0", WithLe32(good, 22, 0), BitmapError::kBadDimensions, BitmapError::kBadDimensions},
      {"24 bits per pixel", MakeBitmap({16, 2, 24}), BitmapError::kNotOneBit, BitmapError::kNone},
      {"row of 256 bytes", MakeBitmap({2048, 1}), BitmapError::kTooWide, BitmapError::kNone},
      {"larger than the picture buffer", PaddedTo(MakeBitmap({8, 1}), 700'001),
       BitmapError::kTooLarge, BitmapError::kNone},
      {"larger than the logo's room", PaddedTo(MakeBitmap({8, 1}), 740'960), BitmapError::kTooLarge,
       BitmapError::kTooLarge},
  };
  struct Path {
    const char* button;
    BitmapError Case::*expected;
    std::size_t limit;
  };
  const Path paths[] = {{"Button3", &Case::picture, graphics::kPictureBufferSize},
                        {"Button8", &Case::logo, graphics::kLogoFileLimit}};

  int serial = 0;
  for (const Case& c : cases) {
    for (const Path& p : paths) {
      SCOPED_TRACE(std::string(c.what) + " via " + p.button);
      const std::string name = "file" + std::to_string(serial++) + ".bmp";
      Choose(WriteFile(name, c.file));
      dialogs.Clear();
      Window().SetValue("Label4", "Отсутствует", seams::kWindowTextColour);
      TxRecorder tx;
      Click(p.button);

      const BitmapError expected = c.*p.expected;
      if (expected == BitmapError::kNone) {
        ASSERT_FALSE(dialogs.Messages().empty());
        EXPECT_EQ(dialogs.Messages()[0].kind, "information");
        EXPECT_FALSE(tx.Writes().empty());
        continue;
      }
      EXPECT_EQ(dialogs.Messages(), (std::vector<FakeDialogs::Shown>{
                                        {"error", graphics::BitmapErrorText(expected, p.limit)}}));
      EXPECT_TRUE(tx.Writes().empty());
      EXPECT_EQ(Window().Caption("Label4"), "Отсутствует");
      EXPECT_FALSE(link::PortIsOpen);
    }
  }
}

TEST_F(BadFilesTest, MessagesSayWhatIsWrongInTheUsersLanguage) {
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kTooLarge, 700'000),
            "Файл слишком велик: допустимо не более 700000 байт.");
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kTooWide, 0),
            "Рисунок слишком широк: в строке допустимо не более 2047 точек.");
  for (int e = static_cast<int>(BitmapError::kCannotRead);
       e <= static_cast<int>(BitmapError::kTooWide); ++e) {
    EXPECT_FALSE(graphics::BitmapErrorText(static_cast<BitmapError>(e), 1).empty()) << e;
  }
}

TEST_F(BadFilesTest, NamesThatAreNoReadableFileEndTheActionWithAMessage) {
  std::filesystem::create_directory(dir / "folder.bmp");
  const std::string pipe = PathOf("pipe.bmp");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string cannotRead = graphics::BitmapErrorText(BitmapError::kCannotRead, 0);
  // A pipe would block a read for ever: it must be refused, not opened.
  const std::pair<std::string, std::string> cases[] = {
      {PathOf("absent.bmp"), "File does not exist."},
      {PathOf("folder.bmp"), cannotRead},
      {pipe, cannotRead}};
  for (const char* button : {"Button3", "Button8"}) {
    for (const auto& [path, message] : cases) {
      SCOPED_TRACE(std::string(button) + " " + path);
      dialogs.Clear();
      Choose(path);
      TxRecorder tx;
      Click(button);
      EXPECT_EQ(dialogs.Messages(), (std::vector<FakeDialogs::Shown>{{"error", message}}));
      EXPECT_TRUE(tx.Writes().empty());
      EXPECT_FALSE(link::PortIsOpen);
    }
  }
}

TEST_F(BadFilesTest, CancelledDialogEndsTheActionSilently) {
  Window().SetValue("Label4", "Загружен", seams::kWindowTextColour);
  TxRecorder tx;
  Click("Button3");
  Click("Button8");
  EXPECT_EQ(dialogs.filters.size(), 2u);
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(dialogs.repaints, 0);
  EXPECT_TRUE(tx.Writes().empty());
  EXPECT_TRUE(sim.Log().empty());
  EXPECT_EQ(Window().Caption("Label4"), "Загружен");
  EXPECT_FALSE(link::PortIsOpen);
}

}  // namespace
}  // namespace zelka::testing
