// The contents of the test receipts: a sample sale, then the printer's two fonts in every
// combination of bold, double height and double width, each with a line of digits long
// enough to show how many characters fit on a line.
#pragma once

#include <array>
#include <string>

#include "commands/frames.h"

namespace zelka::service {

using commands::Byte;

// ESC ! bits that the font labels name; none of them is font 0, normal size.
inline constexpr Byte kModeNormal = 0x00;
inline constexpr Byte kModeFont1 = 0x01;
inline constexpr Byte kModeBold = 0x08;
inline constexpr Byte kModeDoubleHeight = 0x10;
inline constexpr Byte kModeDoubleWidth = 0x20;
// GS ! 0x10: double width, the 80 mm header's size.
inline constexpr Byte kSizeDoubleWidth = 0x10;
inline constexpr Byte kSizeNormal = 0x00;
// The 57 mm header: font 1, bold, double width.
inline constexpr Byte kHeaderMode57 = kModeFont1 | kModeBold | kModeDoubleWidth;

struct FontGroup {
  Byte printMode;       // ESC ! n of the group
  const char* label80;  // 80 mm layout
  int digits80;
  const char* label57;  // both 57 mm layouts
  int digits57;         // the test receipt on 57 mm paper
  int digits57On80;     // the 57 mm layout on an 80 mm printer
};

inline constexpr std::size_t kFontGroupCount = 16;
inline constexpr std::size_t kSaleLineCount = 10;  // the header and nine sale lines

extern const std::array<FontGroup, kFontGroupCount> kFontGroups;
// The header line first, then the nine lines of the sale.
extern const std::array<const char*, kSaleLineCount> kSaleBlock80;
extern const std::array<const char*, kSaleLineCount> kSaleBlock57;

// The first `count` characters of "1234567890" repeated.
std::string DigitsLine(int count);

}  // namespace zelka::service
