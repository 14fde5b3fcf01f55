// Whether a firmware file is built for the printer's board. The board version follows
// from the printer's boot firmware number; the file names its board in its last byte.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "firmware/firmware_file.h"
#include "printer/session.h"

namespace zelka::firmware {

// Where to get a newer program when the printer's board is one it does not know.
inline constexpr char kDownloadAddress[] = "https://www.zelka-printers.ru/downloads/service-utility";

// The number without leading and trailing spaces and control bytes.
std::string TrimBoardNumber(std::string_view bootNumber);
// The board version a boot firmware number stands for; nothing for an unknown number.
std::optional<int> BoardVersionOf(std::string_view bootNumber);
// Nothing when the file suits the board; otherwise the message that refuses it.
std::optional<std::string> BoardMismatch(std::string_view bootNumber, std::uint8_t fileBoard);

// The board query talks to the main firmware, which answers at once.
inline constexpr std::chrono::milliseconds kBoardQueryReadTimeout{300};

struct BoardCheck {
  // The printer's boot firmware number as it gave it; nothing when it did not answer.
  std::optional<std::string> bootNumber;
  // The BoardMismatch text when the image does not suit the board; nothing when it suits
  // or the printer did not tell its board (the image then goes unchecked).
  std::optional<std::string> refusal;
};

// Asks the printer for its boot firmware number at the session's rate and checks the
// image's board against it. Sends that query and nothing else; the port is closed after.
BoardCheck CheckBoard(printer::Session& session, const FirmwareImage& image);

}  // namespace zelka::firmware
