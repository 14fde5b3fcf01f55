// Whether a firmware file is built for the printer's board. The board version follows
// from the printer's boot firmware number; the file names its board in its last byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelka::firmware {

// Where to get a newer program when the printer's board is one it does not know.
inline constexpr char kDownloadAddress[] = "https://www.zelka-printers.ru/downloads/service-utility";

// The number without leading and trailing spaces and control bytes.
std::string TrimBoardNumber(std::string_view bootNumber);
// The board version a boot firmware number stands for; nothing for an unknown number.
std::optional<int> BoardVersionOf(std::string_view bootNumber);
// Nothing when the file suits the board; otherwise the message that refuses it.
std::optional<std::string> BoardMismatch(std::string_view bootNumber, std::uint8_t fileBoard);

}  // namespace zelka::firmware
