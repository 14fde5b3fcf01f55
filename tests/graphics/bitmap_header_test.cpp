// The header check of bitmap files, and the loader and whole-file read over real files.
#include "graphics/bitmap_header.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "graphics/bitmap_file.h"
#include "graphics/bitmap_maker.h"

namespace zelka::testing {
namespace {

using graphics::BitmapError;
using graphics::BitmapInfo;
using Bytes = std::vector<std::uint8_t>;

BitmapError Check(const Bytes& file, BitmapInfo* out = nullptr) {
  BitmapInfo info;
  const BitmapError error = graphics::ParseBitmapHeader(file, file.size(), info);
  if (out) *out = info;
  return error;
}

Bytes Set32(Bytes file, std::size_t at, std::uint32_t value) {
  PutLe32(file, at, value);
  return file;
}

Bytes Set16(Bytes file, std::size_t at, std::uint16_t value) {
  PutLe16(file, at, value);
  return file;
}

Bytes Cut(Bytes file, std::size_t length) {
  file.resize(length);
  return file;
}

TEST(BitmapHeaderTest, AcceptsWellFormedFilesOfEveryKind) {
  struct Case {
    const char* what;
    BitmapShape shape;
    std::uint32_t offset;
  };
  const Case cases[] = {
      {"one bit, 40-byte header", {576, 2}, 62},
      {"one bit, 124-byte header", {100, 3, 1, 124}, 146},
      {"narrower than a byte", {5, 1}, 62},
      {"top-down", {16, -4}, 62},
      {"24 bits", {10, 3, 24}, 54},
      {"8 bits", {9, 2, 8}, 14 + 40 + 1024},
      {"the largest size", {graphics::kMaxDimension, 1}, 62},
  };
  for (const Case& c : cases) {
    BitmapInfo info;
    ASSERT_EQ(Check(MakeBitmap(c.shape), &info), BitmapError::kNone) << c.what;
    EXPECT_EQ(info.width, c.shape.width) << c.what;
    EXPECT_EQ(info.height, c.shape.height) << c.what;
    EXPECT_EQ(info.Rows(), std::abs(c.shape.height)) << c.what;
    EXPECT_EQ(info.TopDown(), c.shape.height < 0) << c.what;
    EXPECT_EQ(info.pixelOffset, c.offset) << c.what;
    EXPECT_EQ(info.bitsPerPixel, c.shape.bitsPerPixel) << c.what;
  }
  // Compressed data has no row length to check against the file.
  const Bytes rle = Set32(MakeBitmap({4000, 1, 8, 40, graphics::kCompressionRle8}), 22, 4000);
  EXPECT_EQ(Check(rle), BitmapError::kNone);
}

TEST(BitmapHeaderTest, RefusesDamagedAndHostileHeaders) {
  const Bytes good = MakeBitmap({576, 2});  // O = 62, 144 bytes of rows, 206 in all
  struct Case {
    const char* what;
    Bytes file;
    BitmapError expected;
  };
  const Case cases[] = {
      {"empty", {}, BitmapError::kNotBitmap},
      {"shorter than the file header", Cut(good, 13), BitmapError::kNotBitmap},
      {"another signature", Set16(good, 0, 0x4B50), BitmapError::kNotBitmap},
      {"text", Bytes(300, 'x'), BitmapError::kNotBitmap},
      {"file header only", Cut(good, 14), BitmapError::kTruncatedHeader},
      {"cut inside the info header", Cut(good, 40), BitmapError::kTruncatedHeader},
      {"12-byte core header", Set32(good, 14, 12), BitmapError::kUnsupportedHeader},
      {"info header size 0", Set32(good, 14, 0), BitmapError::kUnsupportedHeader},
      {"info header past the end", Set32(good, 14, 400), BitmapError::kTruncatedHeader},
      {"info header size 0xFFFFFFFF", Set32(good, 14, 0xFFFFFFFF), BitmapError::kTruncatedHeader},
      {"width 0", Set32(good, 18, 0), BitmapError::kBadDimensions},
      {"negative width", Set32(good, 18, static_cast<std::uint32_t>(-576)),
       BitmapError::kBadDimensions},
      {"absurd width", Set32(good, 18, 0x7FFFFFFF), BitmapError::kBadDimensions},
      {"height 0", Set32(good, 22, 0), BitmapError::kBadDimensions},
      {"absurd height", Set32(good, 22, 70000), BitmapError::kBadDimensions},
      {"absurd negative height", Set32(good, 22, static_cast<std::uint32_t>(-70000)),
       BitmapError::kBadDimensions},
      {"height INT32_MIN", Set32(good, 22, static_cast<std::uint32_t>(INT_MIN)),
       BitmapError::kBadDimensions},
      {"3 bits per pixel", Set16(good, 28, 3), BitmapError::kUnsupportedFormat},
      {"0 bits per pixel", Set16(good, 28, 0), BitmapError::kUnsupportedFormat},
      {"RLE8 at one bit", Set32(good, 30, graphics::kCompressionRle8),
       BitmapError::kUnsupportedFormat},
      {"unknown compression", Set32(good, 30, 9), BitmapError::kUnsupportedFormat},
      {"offset beyond the file", Set32(good, 10, 206), BitmapError::kBadPixelOffset},
      {"offset 0xFFFFFFFF", Set32(good, 10, 0xFFFFFFFF), BitmapError::kBadPixelOffset},
      {"offset inside the headers", Set32(good, 10, 20), BitmapError::kBadPixelOffset},
      {"last row one byte short", Cut(good, 205), BitmapError::kRowsPastEnd},
      {"one row more than stored", Set32(good, 22, 3), BitmapError::kRowsPastEnd},
      {"rows begin too late", Set32(good, 10, 63), BitmapError::kRowsPastEnd},
      {"largest size in a small file", Set32(Set32(good, 18, 65535), 22, 65535),
       BitmapError::kRowsPastEnd},
  };
  for (const Case& c : cases) EXPECT_EQ(Check(c.file), c.expected) << c.what;
}

TEST(BitmapHeaderTest, HeadAloneIsEnoughWhenTheLengthIsGiven) {
  const Bytes file = MakeBitmap({384, 10});
  BitmapInfo info;
  const std::span<const std::uint8_t> head(file.data(), graphics::kHeaderBytesRead);
  EXPECT_EQ(graphics::ParseBitmapHeader(head, file.size(), info), BitmapError::kNone);
  EXPECT_EQ(graphics::ParseBitmapHeader(head, file.size() - 1, info), BitmapError::kRowsPastEnd);
  // A head longer than the file stated counts only up to that length.
  EXPECT_EQ(graphics::ParseBitmapHeader(file, 40, info), BitmapError::kTruncatedHeader);
}

class BitmapFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zelka-bitmap-file-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::filesystem::path dir_;
};

TEST_F(BitmapFileTest, LoaderGivesWidthAndHeightAndRefusesWhatItCannotRead) {
  BitmapInfo info;
  ASSERT_EQ(graphics::LoadBitmap(Write("logo.bmp", MakeBitmap({200, 30})), info),
            BitmapError::kNone);
  EXPECT_EQ(info.width, 200);
  EXPECT_EQ(info.height, 30);
  // Non-ASCII names reach the file system as UTF-8.
  EXPECT_EQ(graphics::LoadBitmap(Write("логотип.bmp", MakeBitmap({8, 1})), info),
            BitmapError::kNone);

  EXPECT_EQ(graphics::LoadBitmap(Write("empty.bmp", {}), info), BitmapError::kNotBitmap);
  EXPECT_EQ(graphics::LoadBitmap(Write("short.bmp", Cut(MakeBitmap({8, 1}), 20)), info),
            BitmapError::kTruncatedHeader);
  EXPECT_EQ(graphics::LoadBitmap(Write("rows.bmp", Cut(MakeBitmap({8, 4}), 70)), info),
            BitmapError::kRowsPastEnd);

  std::filesystem::create_directory(dir_ / "folder.bmp");
  EXPECT_TRUE(graphics::BitmapFileExists((dir_ / "folder.bmp").string()));
  EXPECT_EQ(graphics::LoadBitmap((dir_ / "folder.bmp").string(), info), BitmapError::kCannotRead);
  // A pipe would block a read for ever; it is refused without being opened.
  const std::string pipe = (dir_ / "pipe.bmp").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(graphics::LoadBitmap(pipe, info), BitmapError::kCannotRead);
  EXPECT_FALSE(graphics::BitmapFileExists((dir_ / "absent.bmp").string()));
  EXPECT_EQ(graphics::LoadBitmap((dir_ / "absent.bmp").string(), info), BitmapError::kCannotRead);
}

TEST_F(BitmapFileTest, WholeFileReadStaysInsideItsBuffer) {
  const Bytes file = MakeBitmap({64, 3});  // 62 + 3 * 8 = 86 bytes
  const std::string path = Write("picture.bmp", file);

  Bytes buffer(file.size() + 2, 0xEE);
  graphics::FileRead read = graphics::ReadBitmapFile(path, std::span(buffer).first(file.size()));
  EXPECT_EQ(read.error, BitmapError::kNone);
  EXPECT_EQ(read.length, file.size());
  EXPECT_TRUE(std::equal(file.begin(), file.end(), buffer.begin()));
  EXPECT_EQ(buffer[file.size()], 0xEE) << "nothing past the buffer";

  std::fill(buffer.begin(), buffer.end(), 0xEE);
  read = graphics::ReadBitmapFile(path, std::span(buffer).first(file.size() - 1));
  EXPECT_EQ(read.error, BitmapError::kTooLarge);
  EXPECT_EQ(read.length, file.size());
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0xEE; }))
      << "a file too large is not read at all";

  EXPECT_EQ(graphics::ReadBitmapFile((dir_ / "absent.bmp").string(), buffer).error,
            BitmapError::kCannotRead);
  EXPECT_EQ(graphics::ReadBitmapFile(dir_.string(), buffer).error, BitmapError::kCannotRead);
}

}  // namespace
}  // namespace zelka::testing
