// Code page 866, the printer's character set: ASCII below 0x80, Cyrillic and box drawing
// above. The simulator keeps its own table so that it checks the program's conversion
// instead of sharing it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zelka::sim {

char32_t Cp866ToUnicode(std::uint8_t byte);
std::string Cp866ToUtf8(std::span<const std::uint8_t> bytes);

}  // namespace zelka::sim
