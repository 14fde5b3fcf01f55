// Text encodings at the program's edges. Inside, text is Unicode (UTF-8 std::string).
// - The printer prints code page 866: ASCII as is, Cyrillic at its 866 positions.
// - The printer's own text replies are 8-bit text in Windows-1251.
// - The remote protocol is 7-bit ASCII.
#pragma once

#include <string>
#include <string_view>

namespace zelka::commands {

// One byte per character. A character that code page 866 lacks, and a byte that is not
// valid UTF-8, becomes "?".
std::string EncodeCp866(std::string_view utf8);
std::string DecodeCp866(std::string_view bytes);
// Windows-1251 bytes as UTF-8; the one byte that 1251 leaves unassigned (0x98) becomes
// U+FFFD.
std::string DecodeCp1251(std::string_view bytes);
// One byte per character: characters below 128 as they are, every other one "?".
std::string ToSevenBitAscii(std::string_view utf8);

// UTF-8 helpers shared by the edges. Invalid bytes decode to U+FFFD, one per byte.
std::u32string DecodeUtf8(std::string_view utf8);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace zelka::commands
