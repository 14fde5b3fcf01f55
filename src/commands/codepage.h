// Text encodings at the program's edges. Inside, text is Unicode (UTF-8 std::string).
// - The printer prints code page 866: ASCII as is, Cyrillic at its 866 positions.
// - The printer's own text replies are 8-bit text in Windows-1251.
// - The remote protocol is 7-bit ASCII.
#pragma once

#include <string>
#include <string_view>

namespace zelka::commands {

// Text for the printer, where a control byte would be a command (ESC p kicks the cash
// drawer): whatever `utf8` holds, no byte below 0x20 and no DEL comes out.
// - A character that code page 866 has is its one byte.
// - A tab becomes spaces up to the next multiple of 8 columns from the start of `utf8`;
//   every other control character (line breaks included: the caller splits lines) is
//   dropped.
// - A character that 866 lacks but that has a plain form becomes it ("—" and "–" "-",
//   "«" "»" "“" "”" a double quote, "€" "EUR"); any other, and every byte of invalid or
//   overlong UTF-8, becomes "?".
std::string EncodeCp866(std::string_view utf8);
std::string DecodeCp866(std::string_view bytes);
// Windows-1251 bytes as UTF-8; the one byte that 1251 leaves unassigned (0x98) becomes
// U+FFFD.
std::string DecodeCp1251(std::string_view bytes);
// One byte per character: characters below 128 as they are, every other one "?".
std::string ToSevenBitAscii(std::string_view utf8);

// UTF-8 helpers shared by the edges. Invalid bytes decode to U+FFFD, one per byte:
// overlong forms (C0 9B for ESC), surrogates and values past U+10FFFF are invalid.
std::u32string DecodeUtf8(std::string_view utf8);
// The length of the valid UTF-8 sequence that starts at `utf8[at]`; 0 when it is invalid.
std::size_t Utf8SequenceLength(std::string_view utf8, std::size_t at);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace zelka::commands
