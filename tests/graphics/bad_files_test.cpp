// Files that the picture print and the logo load must refuse, each with its reason, before
// any port is opened: the loaders take no session, and a refused file leaves the picture
// or logo the caller holds as it was. The two paths differ where the printer decodes the
// logo itself.
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "graphics/bitmap_error.h"
#include "graphics/graphics_fixture.h"
#include "graphics/logo_store.h"
#include "graphics/messages.h"
#include "graphics/picture_print.h"

namespace zelka::testing {
namespace {

using graphics::BitmapError;

// A 1 × 1 one-bit bitmap (66 bytes, and its size field says 66) followed by printer
// commands: a parameter write, a drawer kick and the bootloader's entry. The printer
// stores the 66 bytes as the logo and runs the rest.
Bytes LogoHidingCommands() {
  Bytes file = MakeBitmap({1, 1});
  const Bytes commands = {0x1F, 0x03, 0x08, 0x01, 0x1B, 0x70, 0x30, 0x96,
                          0x96, 0x00, 0x6B, 0x52, 0x5F, 0x75, 0x57};
  file.insert(file.end(), commands.begin(), commands.end());
  return file;
}

// What the caller held before a refused load: it must come back unchanged.
const Bytes kHeld{0xAA, 0xBB};

struct Loaded {
  BitmapError picture;
  BitmapError logo;
};

Loaded LoadBoth(const std::string& path) {
  graphics::Picture picture{kHeld, {.rows = 7}};
  graphics::Logo logo{kHeld};
  const Loaded loaded{graphics::LoadPicture(path, picture), graphics::LoadLogo(path, logo)};
  if (loaded.picture != BitmapError::kNone) {
    EXPECT_EQ(picture.file, kHeld);
    EXPECT_EQ(picture.layout.rows, 7u);
  }
  if (loaded.logo != BitmapError::kNone) {
    EXPECT_EQ(logo.file, kHeld);
  }
  return loaded;
}

using BadFilesTest = GraphicsFixture;

TEST_F(BadFilesTest, EachIsRefusedWithItsReason) {
  const Bytes good = MakeBitmap({576, 4});  // O = 62, S = 72, 350 bytes
  struct Case {
    const char* what;
    Bytes file;
    BitmapError picture;  // kNone: accepted
    BitmapError logo;
  };
  const Case cases[] = {
      // Files that are no bitmap go to the picture decoders, which know neither.
      {"empty", Bytes{}, BitmapError::kNotPicture, BitmapError::kNotPicture},
      {"a GIF signature and nothing behind it",
       Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       BitmapError::kCorruptPicture, BitmapError::kCorruptPicture},
      {"only \"BM\"", Bytes{'B', 'M'}, BitmapError::kNotBitmap, BitmapError::kNotBitmap},
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
      // Other depths are converted to one bit on both paths.
      {"24 bits per pixel", MakeBitmap({16, 2, 24}), BitmapError::kNone, BitmapError::kNone},
      {"24 bits, rows past the end", WithLe32(MakeBitmap({16, 2, 24}), 22, 40),
       BitmapError::kRowsPastEnd, BitmapError::kRowsPastEnd},
      {"row of 256 bytes", MakeBitmap({2048, 1}), BitmapError::kTooWide, BitmapError::kNone},
      {"7 dots wide", MakeBitmap({7, 3}), BitmapError::kTooNarrow, BitmapError::kNone},
      {"8 dots wide", MakeBitmap({8, 3}), BitmapError::kNone, BitmapError::kNone},
      // The picture path reads the rows itself; only the printer goes by the size field.
      {"size field larger than the file", WithLe32(good, 2, 351), BitmapError::kNone,
       BitmapError::kSizeMismatch},
      {"size field 0", WithLe32(good, 2, 0), BitmapError::kNone, BitmapError::kSizeMismatch},
      {"commands behind the stated size", LogoHidingCommands(), BitmapError::kTooNarrow,
       BitmapError::kSizeMismatch},
      // The header is looked at before the size field.
      {"cut short after the header", Cut(good, 300), BitmapError::kRowsPastEnd,
       BitmapError::kRowsPastEnd},
      {"larger than the picture buffer", PaddedTo(MakeBitmap({8, 1}), 700'001),
       BitmapError::kTooLarge, BitmapError::kNone},
      {"larger than the logo's room", PaddedTo(MakeBitmap({8, 1}), 740'960), BitmapError::kTooLarge,
       BitmapError::kTooLarge},
      // Only one-bit files are bound by the buffers; others by their dots once converted.
      {"large and in colour", PaddedTo(MakeBitmap({8, 1, 24}), 750'000), BitmapError::kNone,
       BitmapError::kNone},
      {"too large with a lying size field", WithLe32(PaddedTo(MakeBitmap({8, 1}), 740'960), 2, 1),
       BitmapError::kTooLarge, BitmapError::kSizeMismatch},
  };

  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Loaded loaded = LoadBoth(WriteFile("file" + std::to_string(serial++) + ".bmp", c.file));
    EXPECT_EQ(loaded.picture, c.picture);
    EXPECT_EQ(loaded.logo, c.logo);
  }
  EXPECT_TRUE(sim.Log().empty());
  EXPECT_TRUE(tx.Writes().empty());
}

TEST_F(BadFilesTest, NamesThatAreNoReadableFileAreRefusedWithoutBlocking) {
  std::filesystem::create_directory(dir / "folder.bmp");
  const std::string pipe = PathOf("pipe.bmp");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::create_symlink(dir / "gone.bmp", dir / "dangling.bmp");
  struct Case {
    std::string path;
    BitmapError expected;
  };
  const Case cases[] = {
      {PathOf("absent.bmp"), BitmapError::kDoesNotExist},
      {PathOf("dangling.bmp"), BitmapError::kDoesNotExist},
      {PathOf("folder.bmp"), BitmapError::kCannotRead},
      {"/dev/zero", BitmapError::kCannotRead},  // a device that never ends
      // A pipe with no writer blocks an open or a read for ever.
      {pipe, BitmapError::kCannotRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Loaded loaded{BitmapError::kNone, BitmapError::kNone};
    ASSERT_TRUE(ReturnsWithin(std::chrono::seconds(2), pipe, [&] { loaded = LoadBoth(c.path); }))
        << "the load blocked";
    EXPECT_EQ(loaded.picture, c.expected);
    EXPECT_EQ(loaded.logo, c.expected);
  }
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kDoesNotExist, 0), "File does not exist.");
}

// The logo goes out as the printer frames it, by its size field: a file whose field does
// not match its length never reaches the printer, also when handed to SendLogo directly.
TEST_F(BadFilesTest, LogoWhoseSizeFieldHidesCommandsNeverReachesThePrinter) {
  const Bytes crafted = LogoHidingCommands();
  ASSERT_EQ(crafted.size(), 81u);
  graphics::Logo logo;
  EXPECT_EQ(graphics::LoadLogo(WriteFile("crafted.bmp", crafted), logo),
            BitmapError::kSizeMismatch);
  EXPECT_TRUE(logo.file.empty());

  const Bytes longer = WithLe32(MakeBitmap({64, 8}), 2, 1000);
  const Bytes tooLong = PaddedTo(crafted, graphics::kLogoFileLimit + 1);
  for (const Bytes& file : {crafted, longer, Bytes{}, tooLong}) {
    SCOPED_TRACE(file.size());
    const printer::Result result = graphics::SendLogo(*session, graphics::Logo{file});
    EXPECT_EQ(result.problem, printer::Problem::kNotSent);
    EXPECT_FALSE(PortIsOpen());
  }
  EXPECT_TRUE(tx.Writes().empty());
  // The printer hears nothing: a command it would run would show in its log.
  graphics::SendLogo(*session, graphics::Logo{MakeBitmap({8, 1})});
  const auto commands = CommandsOnceThere(1);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].name, "logo");
  EXPECT_EQ(sim.State().parameters.at(8), 0);
}

TEST_F(BadFilesTest, MessagesSayWhatIsWrongInTheUsersLanguage) {
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kTooLarge, 700'000),
            "Файл слишком велик: допустимо не более 700000 байт.");
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kTooWide, 0),
            "Рисунок слишком широк: в строке допустимо не более 2047 точек.");
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kTooNarrow, 0),
            "Рисунок слишком узок: в строке должно быть не менее 8 точек.");
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kDoesNotExist, 0), "File does not exist.");
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kTooManyPixels, 0),
            "Рисунок слишком велик: допустимо не более 65535 точек по каждой стороне и не более "
            "48000000 точек всего.");
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kSourceTooLarge, 0),
            "Файл слишком велик: допустимо не более 52428800 байт.");
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kConvertedTooLarge, 700'000),
            "Рисунок слишком длинный: приведённый к ширине бумаги, он займёт более 700000 байт.");
  // Every reason has words of its own.
  std::set<std::string> texts;
  for (int e = static_cast<int>(BitmapError::kDoesNotExist);
       e <= static_cast<int>(BitmapError::kCannotWrite); ++e) {
    const std::string text = graphics::BitmapErrorText(static_cast<BitmapError>(e), 1);
    EXPECT_FALSE(text.empty()) << e;
    EXPECT_TRUE(texts.insert(text).second) << e << ": " << text;
  }
  EXPECT_EQ(graphics::BitmapErrorText(BitmapError::kNone, 1), "");
}

}  // namespace
}  // namespace zelka::testing
