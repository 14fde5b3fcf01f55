// Files the user names, opened once and read from the opened file: on every system, with
// names in any script (the window's file dialogs and the command line give UTF-8).
#include "files/regular_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zelka::files {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

class RegularFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("zelka-files-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path Write(const std::u8string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = folder_ / fs::path(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  fs::path folder_;
};

TEST_F(RegularFileTest, NamesInAnyScriptOpenAndReadWhole) {
  const std::vector<std::uint8_t> bytes = {0x42, 0x4D, 0x00, 0xFF, 0x0A, 0x0D};
  for (const std::u8string name : {u8"logo.bmp", u8"логотип чека.bmp", u8"прошивка-ZK 2.10.bin"}) {
    SCOPED_TRACE(Utf8(fs::path(name)));
    const fs::path path = Write(name, bytes);
    RegularFile file;
    ASSERT_EQ(file.Open(Utf8(path)), FileError::kNone);
    EXPECT_EQ(file.Length(), bytes.size());
    std::vector<std::uint8_t> read(bytes.size());
    ASSERT_TRUE(file.Read(read));
    EXPECT_EQ(read, bytes);
    // Nothing is left: a read past the end is refused, not padded.
    std::uint8_t more[1];
    EXPECT_FALSE(file.Read(more));
  }
}

TEST_F(RegularFileTest, WhatIsNoFileIsRefusedWithItsReason) {
  fs::create_directories(folder_ / fs::path(u8"папка"));
  const struct {
    fs::path path;
    FileError expected;
  } cases[] = {
      {folder_ / "missing.bin", FileError::kDoesNotExist},
      {folder_ / fs::path(u8"нет такой папки") / "file.bin", FileError::kDoesNotExist},
      {folder_ / fs::path(u8"папка"), FileError::kNotRegular},
      {folder_, FileError::kNotRegular},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf8(c.path));
    RegularFile file;
    EXPECT_EQ(file.Open(Utf8(c.path)), c.expected);
    std::uint8_t byte[1];
    EXPECT_FALSE(file.Read(byte));
  }
  RegularFile empty;
  EXPECT_EQ(empty.Open(""), FileError::kDoesNotExist);
}

TEST_F(RegularFileTest, AFileIsOpenedOnce) {
  const fs::path path = Write(u8"a.bin", {1, 2, 3});
  RegularFile file;
  ASSERT_EQ(file.Open(Utf8(path)), FileError::kNone);
  EXPECT_EQ(file.Open(Utf8(path)), FileError::kUnreadable);
  std::uint8_t read[3];
  ASSERT_TRUE(file.Read(read));
  EXPECT_EQ(read[2], 3);
}

}  // namespace
}  // namespace zelka::files
