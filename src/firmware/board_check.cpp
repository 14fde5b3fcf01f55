#include "firmware/board_check.h"

#include <array>

#include "commands/catalogue.h"

namespace zelka::firmware {
namespace {

struct KnownBoard {
  std::string_view bootNumber;
  int version;
};

// Boot firmware numbers of the boards this program can update.
constexpr std::array<KnownBoard, 2> kKnownBoards = {{
    {"ZELKA-000001", 3},
    {"ZELKA-000002", 4},
}};

// Spaces and control bytes; 8-bit letters above 0x7F are kept.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

std::string TrimBoardNumber(std::string_view bootNumber) {
  while (!bootNumber.empty() && IsBlank(bootNumber.front())) bootNumber.remove_prefix(1);
  while (!bootNumber.empty() && IsBlank(bootNumber.back())) bootNumber.remove_suffix(1);
  return std::string(bootNumber);
}

std::optional<int> BoardVersionOf(std::string_view bootNumber) {
  const std::string trimmed = TrimBoardNumber(bootNumber);
  for (const KnownBoard& board : kKnownBoards) {
    if (trimmed == board.bootNumber) return board.version;
  }
  return std::nullopt;
}

std::optional<std::string> BoardMismatch(std::string_view bootNumber, std::uint8_t fileBoard) {
  const std::optional<int> board = BoardVersionOf(bootNumber);
  if (!board) {
    return std::string(
               "Внимание!!! Данная версия программы устарела и не поддерживает текущую версии "
               "платы. Пожалуйста обновите программу с сайта: ") +
           kDownloadAddress;
  }
  if (fileBoard == *board) return std::nullopt;
  return "Внимание!!! Данная версия прошивки(версия " + std::to_string(fileBoard) +
         ") не соответствует текущей версии платы(версия " + std::to_string(*board) + ").";
}

BoardCheck CheckBoard(printer::Session& session, const FirmwareImage& image) {
  BoardCheck check;
  // A port that did not open fails the query at once: the printer did not tell.
  session.Open(kBoardQueryReadTimeout);
  check.bootNumber = commands::QueryFirmwareNumber(session.Link(), commands::Firmware::kBoot);
  session.Link().Close();
  if (check.bootNumber) check.refusal = BoardMismatch(*check.bootNumber, image.Board());
  return check;
}

}  // namespace zelka::firmware
