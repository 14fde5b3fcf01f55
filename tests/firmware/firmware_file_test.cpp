// Reading the firmware file: once, without blocking, whole, and never more than the flash
// takes.
#include "firmware/firmware_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "firmware/firmware_fixture.h"

namespace zelka::testing {
namespace {

using namespace zelka::firmware;

class FirmwareFileTest : public FirmwareFixture {};

TEST_F(FirmwareFileTest, WhatIsReadAndWhatIsRefused) {
  struct Case {
    const char* what;
    std::string path;
    FileProblem problem;
    std::uint64_t length;
    Bytes image;  // what the image holds afterwards
  };
  const Bytes one{0x04};
  const Bytes largest = Image(700000, 4);
  const Bytes typical = Image(1000, 3);
  const Case cases[] = {
      {"a firmware file", WriteFile(typical), FileProblem::kNone, 1000, typical},
      {"a name in Cyrillic", WriteFile(typical, "прошивка.bin"), FileProblem::kNone, 1000, typical},
      {"one byte: its own board", WriteFile(one, "one.bin"), FileProblem::kNone, 1, one},
      {"the largest the flash takes", WriteFile(largest, "largest.bin"), FileProblem::kNone, 700000,
       largest},
      {"one byte too many, not read", WriteFile(Image(700001), "big.bin"), FileProblem::kTooLarge,
       700001, {}},
      {"empty", WriteFile({}, "empty.bin"), FileProblem::kEmpty, 0, {}},
      {"missing", PathOf("missing.bin"), FileProblem::kDoesNotExist, 0, {}},
      {"in a missing folder", PathOf("gone/firmware.bin"), FileProblem::kDoesNotExist, 0, {}},
      {"a folder", folder.string(), FileProblem::kNotAFile, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FirmwareImage image{Image(10, 7)};  // what an earlier read left
    const FirmwareFileRead read = ReadFirmwareFile(c.path, image);
    EXPECT_EQ(read.problem, c.problem);
    EXPECT_EQ(read.length, c.length);
    EXPECT_EQ(image.bytes, c.image);
    EXPECT_EQ(image.Board(), c.image.empty() ? 0 : c.image.back());
  }
}

// A pipe in place of the file would make a plain open wait for a writer for ever.
TEST_F(FirmwareFileTest, PipeInPlaceOfTheFileIsRefusedAtOnce) {
  const std::string fifo = PathOf("firmware.bin");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reading = std::async(std::launch::async, [&] {
    FirmwareImage image;
    return ReadFirmwareFile(fifo, image);
  });
  if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    // A writer lets the blocked reader go, so that the test fails instead of hanging.
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    ADD_FAILURE() << "the read waited on the pipe";
  }
  EXPECT_EQ(reading.get().problem, FileProblem::kNotAFile);
}

// A file that gives fewer bytes than its length said (as the kernel's attribute files do:
// 4096 bytes long, a few bytes to read) is no whole image.
TEST_F(FirmwareFileTest, FileShorterThanItsLengthIsUnreadable) {
  const std::string attribute = "/sys/devices/system/cpu/online";
  std::error_code error;
  if (!std::filesystem::is_regular_file(attribute, error)) GTEST_SKIP() << "no " << attribute;
  FirmwareImage image;
  const FirmwareFileRead read = ReadFirmwareFile(attribute, image);
  EXPECT_EQ(read.problem, FileProblem::kUnreadable);
  EXPECT_TRUE(image.bytes.empty());
}

}  // namespace
}  // namespace zelka::testing

namespace zelka::testing {
namespace {

using namespace zelka::firmware;

Bytes Starting(std::string_view head, std::size_t length = 600) {
  Bytes bytes = Image(length);
  std::copy(head.begin(), head.end(), bytes.begin());
  return bytes;
}

// A picture, archive or document picked by mistake is refused for what it is, not read
// as a board version from its last byte; an image that merely starts alike is firmware.
TEST_F(FirmwareFileTest, PicturesArchivesAndDocumentsAreNotFirmware) {
  Bytes bitmap = Starting("BM");
  bitmap[2] = static_cast<std::uint8_t>(bitmap.size());  // its own length, little-endian
  bitmap[3] = static_cast<std::uint8_t>(bitmap.size() >> 8);
  bitmap[4] = bitmap[5] = bitmap[6] = bitmap[7] = bitmap[8] = bitmap[9] = 0;
  Bytes looksLikeBitmap = bitmap;
  looksLikeBitmap[2] ^= 1;  // a length that is not the file's
  const struct {
    const char* what;
    Bytes content;
    ForeignFormat format;
  } cases[] = {
      {"PNG", Starting("\x89PNG\r\n\x1A\n"), ForeignFormat::kPngPicture},
      {"JPEG", Starting("\xFF\xD8\xFF\xE0"), ForeignFormat::kJpegPicture},
      {"GIF 87a", Starting("GIF87a"), ForeignFormat::kGifPicture},
      {"GIF 89a", Starting("GIF89a"), ForeignFormat::kGifPicture},
      {"BMP", bitmap, ForeignFormat::kBmpPicture},
      {"ZIP", Starting(std::string_view("PK\x03\x04", 4)), ForeignFormat::kZipArchive},
      {"PDF", Starting("%PDF-1.7"), ForeignFormat::kPdfDocument},
      {"firmware that starts with BM", looksLikeBitmap, ForeignFormat::kNone},
      {"firmware that starts with FF D8", Starting("\xFF\xD8\x00"), ForeignFormat::kNone},
      {"too short to be a picture", Starting("\x89PNG", 4), ForeignFormat::kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FirmwareImage image;
    const FirmwareFileRead read = ReadFirmwareFile(WriteFile(c.content), image);
    EXPECT_EQ(read.foreign, c.format);
    EXPECT_EQ(read.problem, c.format == ForeignFormat::kNone ? FileProblem::kNone : FileProblem::kForeign);
    EXPECT_EQ(image.bytes.empty(), c.format != ForeignFormat::kNone);
  }
}

}  // namespace
}  // namespace zelka::testing
