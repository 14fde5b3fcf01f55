// The header check of bitmap files, and bitmap files opened once and read whole.
#include "graphics/bitmap_header.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "graphics/bitmap_file.h"
#include "graphics/bitmap_maker.h"
#include "graphics/graphics_fixture.h"

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

TEST(BitmapHeaderTest, SizeFieldMustBeTheFileLength) {
  const Bytes file = MakeBitmap({8, 2});  // 70 bytes, and the field says so
  EXPECT_EQ(graphics::CheckSizeField(file, file.size()), BitmapError::kNone);
  EXPECT_EQ(graphics::CheckSizeField(file, file.size() + 1), BitmapError::kSizeMismatch);
  EXPECT_EQ(graphics::CheckSizeField(file, file.size() - 1), BitmapError::kSizeMismatch);
  // Only the field's own four bytes count, all of them.
  for (std::size_t at = 2; at < 6; ++at) {
    Bytes changed = file;
    changed[at] ^= 0x01;
    EXPECT_EQ(graphics::CheckSizeField(changed, file.size()), BitmapError::kSizeMismatch) << at;
  }
  // A length beyond 32 bits can never match a 32-bit field that wrapped round to it.
  EXPECT_EQ(graphics::CheckSizeField(file, file.size() + (std::uint64_t{1} << 32)),
            BitmapError::kSizeMismatch);
  EXPECT_EQ(graphics::CheckSizeField(Cut(file, 5), 5), BitmapError::kNotBitmap);
}

// Bitmap files on disk, opened once through graphics::BitmapFile.
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

  static BitmapError Open(const std::string& path, BitmapInfo* info = nullptr) {
    graphics::BitmapFile file;
    const BitmapError error = file.Open(path);
    if (info) *info = file.Info();
    return error;
  }

  std::filesystem::path dir_;
};

TEST_F(BitmapFileTest, OpenChecksTheHeadersOfTheOpenedFileAndRefusesWhatItCannotRead) {
  BitmapInfo info;
  ASSERT_EQ(Open(Write("logo.bmp", MakeBitmap({200, 30})), &info), BitmapError::kNone);
  EXPECT_EQ(info.width, 200);
  EXPECT_EQ(info.height, 30);
  // Non-ASCII names reach the file system as UTF-8.
  EXPECT_EQ(Open(Write("логотип.bmp", MakeBitmap({8, 1}))), BitmapError::kNone);

  // The header check runs on the opened file's length.
  EXPECT_EQ(Open(Write("empty.bmp", {})), BitmapError::kNotBitmap);
  EXPECT_EQ(Open(Write("short.bmp", Cut(MakeBitmap({8, 1}), 20))), BitmapError::kTruncatedHeader);
  EXPECT_EQ(Open(Write("rows.bmp", Cut(MakeBitmap({8, 4}), 70))), BitmapError::kRowsPastEnd);

  EXPECT_EQ(Open((dir_ / "absent.bmp").string()), BitmapError::kDoesNotExist);
  EXPECT_EQ(Open((dir_ / "absent" / "x.bmp").string()), BitmapError::kDoesNotExist);
  std::filesystem::create_directory(dir_ / "folder.bmp");
  EXPECT_EQ(Open((dir_ / "folder.bmp").string()), BitmapError::kCannotRead);
  // A device that never ends would be read for ever.
  EXPECT_EQ(Open("/dev/zero"), BitmapError::kCannotRead);
  // A pipe with no writer would block the open or the read for ever.
  const std::string pipe = (dir_ / "pipe.bmp").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  BitmapError fromPipe = BitmapError::kNone;
  EXPECT_TRUE(ReturnsWithin(std::chrono::seconds(2), pipe, [&] { fromPipe = Open(pipe); }));
  EXPECT_EQ(fromPipe, BitmapError::kCannotRead);
}

TEST_F(BitmapFileTest, WholeReadStaysWithinItsLimit) {
  const Bytes file = MakeBitmap({64, 3});  // 62 + 3 * 8 = 86 bytes
  const std::string path = Write("picture.bmp", file);
  const Bytes before(5, 0xEE);

  graphics::BitmapFile opened;
  ASSERT_EQ(opened.Open(path), BitmapError::kNone);
  EXPECT_EQ(opened.Length(), file.size());
  Bytes bytes = before;
  EXPECT_EQ(opened.ReadAll(file.size() - 1, bytes), BitmapError::kTooLarge);
  EXPECT_EQ(bytes, before) << "a file too large is not read at all";
  // The refusal read nothing: the same file may still be read under a larger limit.
  EXPECT_EQ(opened.ReadAll(file.size(), bytes), BitmapError::kNone);
  EXPECT_EQ(bytes, file);
  EXPECT_EQ(opened.ReadAll(file.size(), bytes), BitmapError::kCannotRead) << "read once";

  graphics::BitmapFile unopened;
  EXPECT_EQ(unopened.ReadAll(1000, bytes), BitmapError::kCannotRead);
  graphics::BitmapFile refused;
  ASSERT_EQ(refused.Open(Write("text.bmp", Bytes(100, 'x'))), BitmapError::kNotBitmap);
  EXPECT_EQ(refused.ReadAll(1000, bytes), BitmapError::kCannotRead);
  EXPECT_EQ(bytes, file);
}

TEST_F(BitmapFileTest, WhatIsReadIsTheFileThatWasOpenedAndChecked) {
  const Bytes file = MakeBitmap({64, 3});
  const std::string path = Write("picture.bmp", file);

  // Another name put in its place after the check: a pipe would block, another file
  // would go out unchecked.
  {
    graphics::BitmapFile opened;
    ASSERT_EQ(opened.Open(path), BitmapError::kNone);
    const std::string pipe = (dir_ / "pipe").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::rename(pipe, path);
    Bytes bytes;
    EXPECT_TRUE(ReturnsWithin(std::chrono::seconds(2), path, [&] {
      EXPECT_EQ(opened.ReadAll(1000, bytes), BitmapError::kNone);
    }));
    EXPECT_EQ(bytes, file);
    std::filesystem::remove(path);
  }
  // Headers rewritten in place after the check: the checked ones are what comes back.
  {
    Write("picture.bmp", file);
    graphics::BitmapFile opened;
    ASSERT_EQ(opened.Open(path), BitmapError::kNone);
    const Bytes rewritten = WithLe32(WithLe32(file, 18, 4096), 10, 0);
    std::fstream(path, std::ios::binary | std::ios::in | std::ios::out)
        .write(reinterpret_cast<const char*>(rewritten.data()), 54);
    Bytes bytes;
    ASSERT_EQ(opened.ReadAll(1000, bytes), BitmapError::kNone);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 54), Bytes(file.begin(), file.begin() + 54));
  }
  // A file that shrinks after the check yields fewer bytes than it had.
  {
    graphics::BitmapFile opened;
    ASSERT_EQ(opened.Open(Write("shrinks.bmp", file)), BitmapError::kNone);
    std::filesystem::resize_file(dir_ / "shrinks.bmp", 70);
    Bytes bytes;
    EXPECT_EQ(opened.ReadAll(1000, bytes), BitmapError::kCannotRead);
    EXPECT_TRUE(bytes.empty());
  }
}

}  // namespace
}  // namespace zelka::testing
