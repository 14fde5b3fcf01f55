#include "sim/logo_bitmap.h"

#include <algorithm>
#include <cstddef>

namespace zelka::sim {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kMinInfoHeaderBytes = 40;
constexpr std::int64_t kMaxDimension = 65535;
constexpr std::size_t kRasterHeadBytes = 6;  // 1B 2E 00 R 01 00

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// The first (width + 7) / 8 bytes of a stored row, inverted, with the bits past the
// width cleared.
Bytes DotsOfStoredRow(std::span<const std::uint8_t> stored, int width) {
  Bytes dots(static_cast<std::size_t>(width + 7) / 8);
  std::transform(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(dots.size()),
                 dots.begin(), [](std::uint8_t b) { return static_cast<std::uint8_t>(~b); });
  if (const int spare = static_cast<int>(dots.size()) * 8 - width; spare > 0) {
    dots.back() = static_cast<std::uint8_t>(dots.back() & (0xFF << spare));
  }
  return dots;
}

}  // namespace

std::optional<DotRows> DecodeLogoBitmap(std::span<const std::uint8_t> file) {
  if (file.size() < kFileHeaderBytes + kMinInfoHeaderBytes || file[0] != 'B' || file[1] != 'M') {
    return std::nullopt;
  }
  const std::uint64_t infoBytes = Le32(file, 14);
  const std::uint64_t offset = Le32(file, 10);
  const std::int64_t width = static_cast<std::int32_t>(Le32(file, 18));
  const std::int64_t height = static_cast<std::int32_t>(Le32(file, 22));
  const std::int64_t rows = height < 0 ? -height : height;
  if (infoBytes < kMinInfoHeaderBytes || kFileHeaderBytes + infoBytes > file.size())
    return std::nullopt;
  if (Le16(file, 28) != 1 || Le32(file, 30) != 0) return std::nullopt;
  if (width < 1 || width > kMaxDimension || rows < 1 || rows > kMaxDimension) return std::nullopt;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) + 31) / 32 * 4;
  if (offset > file.size() || stride * static_cast<std::uint64_t>(rows) > file.size() - offset) {
    return std::nullopt;
  }

  DotRows logo{static_cast<int>(width), {}};
  logo.rows.reserve(static_cast<std::size_t>(rows));
  for (std::int64_t k = 0; k < rows; ++k) {
    const std::int64_t stored = height < 0 ? k : rows - 1 - k;
    const auto row =
        file.subspan(static_cast<std::size_t>(offset + static_cast<std::uint64_t>(stored) * stride),
                     static_cast<std::size_t>(stride));
    logo.rows.push_back(DotsOfStoredRow(row, logo.width));
  }
  return logo;
}

std::optional<DotRows> DecodeRasterRow(std::span<const std::uint8_t> frame) {
  if (frame.size() < kRasterHeadBytes || frame[0] != 0x1B || frame[1] != 0x2E ||
      frame.size() != kRasterHeadBytes + frame[3]) {
    return std::nullopt;
  }
  const auto dots = frame.subspan(kRasterHeadBytes);
  return DotRows{static_cast<int>(dots.size()) * 8, {Bytes(dots.begin(), dots.end())}};
}

}  // namespace zelka::sim
