#include "commands/codepage.h"

#include <array>
#include <optional>

namespace zelka::commands {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code page 866, bytes 0x80 to 0xFF.
constexpr std::array<char32_t, 128> kCp866High = [] {
  std::array<char32_t, 128> t{};
  for (int i = 0; i < 48; ++i) t[i] = 0x0410 + i;          // А..Я, а..п
  for (int i = 0; i < 16; ++i) t[0x60 + i] = 0x0440 + i;   // р..я
  constexpr char32_t box[48] = {
      0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551,
      0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C,
      0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568,
      0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588,
      0x2584, 0x258C, 0x2590, 0x2580};
  for (int i = 0; i < 48; ++i) t[0x30 + i] = box[i];
  constexpr char32_t tail[16] = {0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457,
                                 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A,
                                 0x2116, 0x00A4, 0x25A0, 0x00A0};
  for (int i = 0; i < 16; ++i) t[0x70 + i] = tail[i];
  return t;
}();

// Windows-1251, bytes 0x80 to 0xFF.
constexpr std::array<char32_t, 128> kCp1251High = [] {
  std::array<char32_t, 128> t{};
  constexpr char32_t head[64] = {
      0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
      0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, kReplacement, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
      0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404,
      0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5,
      0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
  for (int i = 0; i < 64; ++i) t[i] = head[i];
  for (int i = 0; i < 64; ++i) t[64 + i] = 0x0410 + i;  // А..я
  return t;
}();

constexpr char32_t kTab = 0x09;
constexpr char32_t kDelete = 0x7F;
constexpr std::size_t kTabStop = 8;

std::optional<char> Cp866Byte(char32_t c) {
  for (std::size_t i = 0; i < kCp866High.size(); ++i) {
    if (kCp866High[i] == c) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

// What a character that code page 866 lacks is printed as: the plain form that shops'
// texts use it for, else "?".
std::string_view PlainForm(char32_t c) {
  switch (c) {
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2212: return "-";
    case 0x00AB: case 0x00BB: case 0x201C: case 0x201D: case 0x201E: return "\"";
    case 0x2018: case 0x2019: case 0x201A: return "'";
    case 0x2026: return "...";
    case 0x20AC: return "EUR";
    default: return "?";
  }
}

std::string DecodeSingleByte(std::string_view bytes, const std::array<char32_t, 128>& high) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) AppendUtf8(out, b < 0x80 ? char32_t{b} : high[b - 0x80]);
  return out;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view utf8, std::size_t at) {
  const auto b0 = static_cast<unsigned char>(utf8[at]);
  if (b0 < 0x80) return 1;
  const std::size_t extra = (b0 & 0xE0) == 0xC0 ? 1 : (b0 & 0xF0) == 0xE0 ? 2 : (b0 & 0xF8) == 0xF0 ? 3 : 0;
  if (extra == 0 || at + extra >= utf8.size()) return 0;
  char32_t c = b0 & (0x7F >> (extra + 1));
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto bk = static_cast<unsigned char>(utf8[at + k]);
    if ((bk & 0xC0) != 0x80) return 0;
    c = (c << 6) | (bk & 0x3F);
  }
  // The shortest form only: a longer one could smuggle a control byte past a check of
  // the bytes (C0 9B is ESC).
  static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return extra + 1;
}

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t length = Utf8SequenceLength(utf8, i);
    if (length == 0) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    const auto b0 = static_cast<unsigned char>(utf8[i]);
    char32_t c = length == 1 ? b0 : b0 & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(c);
    i += length;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string EncodeCp866(std::string_view utf8) {
  std::string out;
  for (char32_t c : DecodeUtf8(utf8)) {
    if (c == kTab) {
      out.append(kTabStop - out.size() % kTabStop, ' ');
    } else if (c < 0x20 || c == kDelete) {
      // A control byte would be a printer command.
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (const auto byte = Cp866Byte(c)) {
      out.push_back(*byte);
    } else {
      out += PlainForm(c);
    }
  }
  return out;
}

std::string DecodeCp866(std::string_view bytes) { return DecodeSingleByte(bytes, kCp866High); }

std::string DecodeCp1251(std::string_view bytes) { return DecodeSingleByte(bytes, kCp1251High); }

std::string ToSevenBitAscii(std::string_view utf8) {
  std::string out;
  for (char32_t c : DecodeUtf8(utf8)) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

}  // namespace zelka::commands
