#include "graphics/jpeg_markers.h"

#include <algorithm>

namespace zelka::graphics {

namespace {

constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kApp0 = 0xE0;   // JFIF
constexpr std::uint8_t kApp1 = 0xE1;   // Exif (and XMP)
constexpr std::uint8_t kApp14 = 0xEE;  // Adobe
constexpr std::uint8_t kApp15 = 0xEF;
constexpr std::uint8_t kComment = 0xFE;
constexpr std::size_t kCoefficientBlockBytes = 64 * 2;  // 8 × 8 coefficients of 16 bits
constexpr std::uint8_t kMaxSampling = 4;

// Markers without a length: restarts (D0..D7), TEM (01) and a second start of image.
bool Standalone(std::uint8_t marker) {
  return (marker >= 0xD0 && marker <= 0xD8) || marker == 0x01;
}

// Start-of-frame markers: C0..CF but DHT (C4), JPG (C8) and DAC (CC).
bool StartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool Progressive(std::uint8_t marker) {
  return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

std::uint32_t Be16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) << 8 | bytes[at + 1];
}

// The frame header's body (after its length): precision, height, width, components.
void ReadFrame(std::span<const std::uint8_t> body, JpegLayout& layout) {
  if (body.size() < 6) return;
  layout.height = Be16(body, 1);
  layout.width = Be16(body, 3);
  const std::size_t count = body[5];
  for (std::size_t i = 0; i < count && 6 + 3 * i + 2 < body.size(); ++i) {
    const std::uint8_t factors = body[6 + 3 * i + 1];
    layout.components.push_back({static_cast<std::uint8_t>(factors >> 4),
                                 static_cast<std::uint8_t>(factors & 0x0F)});
  }
}

// Where the coded data that starts at `at` ends: at the next marker that is not a
// restart. In coded data an FF is followed by 00 (a stuffed FF) or by fill bytes FF.
std::size_t EndOfCodedData(std::span<const std::uint8_t> jpeg, std::size_t at) {
  while (at < jpeg.size()) {
    if (jpeg[at] != 0xFF) {
      ++at;
      continue;
    }
    std::size_t next = at + 1;
    while (next < jpeg.size() && jpeg[next] == 0xFF) ++next;
    if (next >= jpeg.size()) return jpeg.size();
    if (jpeg[next] != 0x00 && !(jpeg[next] >= 0xD0 && jpeg[next] <= 0xD7)) return next - 1;
    at = next + 1;
  }
  return at;
}

// Whether the decoder needs the application or comment segment `marker`.
bool Needed(std::uint8_t marker, bool& app1Seen) {
  if (marker == kComment) return false;
  if (marker < kApp0 || marker > kApp15) return true;
  if (marker == kApp1) {
    const bool first = !app1Seen;
    app1Seen = true;
    return first;
  }
  return marker == kApp0 || marker == kApp14;
}

}  // namespace

JpegLayout ReadJpegLayout(std::span<const std::uint8_t> jpeg) {
  JpegLayout layout;
  bool frameSeen = false;
  bool app1Seen = false;
  std::size_t at = 2;  // past the start of image
  while (at + 1 < jpeg.size()) {
    // The decoder passes over anything up to the next marker.
    if (jpeg[at] != 0xFF || jpeg[at + 1] == 0xFF) {
      ++at;
      continue;
    }
    const std::uint8_t marker = jpeg[at + 1];
    if (marker == kEndOfImage) {
      layout.complete = layout.scans > 0;
      break;
    }
    if (Standalone(marker) || marker == 0x00) {
      at += 2;
      continue;
    }
    if (at + 4 > jpeg.size()) break;
    const std::size_t length = Be16(jpeg, at + 2);
    const std::size_t end = at + 2 + length;
    if (length < 2 || end > jpeg.size()) break;
    const std::span<const std::uint8_t> body = jpeg.subspan(at + 4, length - 2);
    if (StartOfFrame(marker) && !frameSeen) {
      frameSeen = true;
      layout.progressive = Progressive(marker);
      ReadFrame(body, layout);
    } else if (marker == kStartOfScan) {
      if (layout.scans++ == 0 && !body.empty()) layout.firstScanComponents = body[0];
      at = EndOfCodedData(jpeg, end);
      continue;
    } else if (!Needed(marker, app1Seen)) {
      layout.unneeded.emplace_back(at, end);
    }
    at = end;
  }
  return layout;
}

std::uint64_t JpegCoefficientBytes(const JpegLayout& layout) {
  if (!layout.progressive && layout.scans <= 1 &&
      layout.firstScanComponents >= layout.components.size()) {
    return 0;
  }
  std::uint32_t maxH = 1;
  std::uint32_t maxV = 1;
  for (const JpegComponent& c : layout.components) {
    maxH = std::max<std::uint32_t>(maxH, std::clamp<std::uint8_t>(c.horizontal, 1, kMaxSampling));
    maxV = std::max<std::uint32_t>(maxV, std::clamp<std::uint8_t>(c.vertical, 1, kMaxSampling));
  }
  // Each component's blocks, rounded up to whole units of its sampling factors.
  std::uint64_t blocks = 0;
  for (const JpegComponent& c : layout.components) {
    const std::uint64_t h = std::clamp<std::uint8_t>(c.horizontal, 1, kMaxSampling);
    const std::uint64_t v = std::clamp<std::uint8_t>(c.vertical, 1, kMaxSampling);
    const std::uint64_t across = (layout.width * h + maxH * 8 - 1) / (maxH * 8);
    const std::uint64_t down = (layout.height * v + maxV * 8 - 1) / (maxV * 8);
    blocks += (across + h - 1) / h * h * ((down + v - 1) / v * v);
  }
  return blocks * kCoefficientBlockBytes;
}

}  // namespace zelka::graphics
