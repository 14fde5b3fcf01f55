// The board check: the boot firmware number names the board, the file's last byte names
// the board it is built for.
#include "firmware/board_check.h"

#include <gtest/gtest.h>

namespace zelka::firmware {
namespace {

constexpr const char* kOutdated =
    "Внимание!!! Данная версия программы устарела и не поддерживает текущую версии платы. "
    "Пожалуйста обновите программу с сайта: ";

std::string Mismatch(int file, int board) {
  return "Внимание!!! Данная версия прошивки(версия " + std::to_string(file) +
         ") не соответствует текущей версии платы(версия " + std::to_string(board) + ").";
}

TEST(BoardCheckTest, FileAgainstBoard) {
  struct Case {
    std::string bootNumber;
    std::uint8_t fileBoard;
    std::optional<std::string> refusal;
  };
  const std::string outdated = std::string(kOutdated) + kDownloadAddress;
  const Case cases[] = {
      {"ZELKA-000001", 3, std::nullopt},
      {"ZELKA-000002", 4, std::nullopt},
      {"ZELKA-000001", 4, Mismatch(4, 3)},
      {"ZELKA-000002", 3, Mismatch(3, 4)},
      {"ZELKA-000001", 0, Mismatch(0, 3)},      // an empty file
      {"ZELKA-000002", 255, Mismatch(255, 4)},  // the byte in decimal, unsigned
      {"ZELKA-000002   ", 4, std::nullopt},
      {" \t\r\nZELKA-000001\x01\x1F ", 3, std::nullopt},
      {"ZELKA-000003", 3, outdated},
      {"zelka-000001", 3, outdated},  // compared exactly
      {"ZELKA-0000011", 3, outdated},
      {"ZELKA- 000001", 3, outdated},  // only the ends are trimmed
      {"", 3, outdated},
      {"ZELKA-000001\xC0", 3, outdated},  // an 8-bit letter is no blank
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BoardMismatch(c.bootNumber, c.fileBoard), c.refusal)
        << "\"" << c.bootNumber << "\", file " << int(c.fileBoard);
  }
}

TEST(BoardCheckTest, DownloadAddressIsAWebAddressOf55Characters) {
  const std::string address = kDownloadAddress;
  EXPECT_EQ(address.size(), 55u);
  EXPECT_EQ(address.rfind("https://", 0), 0u);
  EXPECT_NE(address.find("zelka"), std::string::npos);
}

}  // namespace
}  // namespace zelka::firmware
