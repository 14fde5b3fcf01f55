#include "graphics/gif_frame.h"

#include <array>
#include <cstddef>

namespace zelka::graphics {

namespace {

constexpr std::size_t kHeaderBytes = 13;  // signature, screen size, flags, background, aspect
constexpr std::size_t kImageDescriptorBytes = 10;
constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImage = 0x2C;
constexpr std::uint8_t kColourTableFlag = 0x80;
constexpr int kMaxCodeBits = 12;
constexpr std::size_t kMaxCodes = std::size_t{1} << kMaxCodeBits;

// Bytes of the colour table that follows when `flags` says there is one.
std::size_t ColourTableBytes(std::uint8_t flags) {
  return flags & kColourTableFlag ? 3 * (std::size_t{2} << (flags & 7)) : 0;
}

// Counts the pixels that a frame's LZW codes stand for, as the GIF decoder reads them:
// codes of `minimum` + 1 bits, least significant bit first, one bit wider each time the
// table fills the codes of the current width, up to 12 bits.
class PixelCounter {
 public:
  explicit PixelCounter(int minimum) : minimum_(minimum) { Clear(); }

  // Takes the next byte of coded data; false once the codes have ended (an end code or
  // a code the table does not have).
  bool Take(std::uint8_t byte) {
    bits_ |= static_cast<std::uint32_t>(byte) << held_;
    held_ += 8;
    while (held_ >= width_) {
      const std::uint32_t code = bits_ & ((1u << width_) - 1);
      bits_ >>= width_;
      held_ -= width_;
      if (!Code(code)) return false;
    }
    return true;
  }
  std::uint64_t Pixels() const { return pixels_; }

 private:
  void Clear() {
    width_ = minimum_ + 1;
    next_ = clear() + 2;
    previous_ = kNone;
  }
  std::uint32_t clear() const { return 1u << minimum_; }

  bool Code(std::uint32_t code) {
    if (code == clear()) {
      Clear();
      return true;
    }
    if (code == clear() + 1) return false;
    std::uint32_t length;
    if (previous_ == kNone) {
      if (code > clear()) return false;
      length = 1;
    } else if (code <= next_) {
      const std::uint32_t grown = Length(previous_) + 1;
      length = code == next_ ? grown : Length(code);
      if (next_ < kMaxCodes) {
        lengths_[next_++] = grown;
        if (next_ == (1u << width_) && width_ < kMaxCodeBits) ++width_;
      }
    } else {
      return false;
    }
    pixels_ += length;
    previous_ = code;
    return true;
  }
  std::uint32_t Length(std::uint32_t code) const { return code < clear() ? 1 : lengths_[code]; }

  static constexpr std::uint32_t kNone = 0xFFFFFFFF;
  const int minimum_;
  int width_ = 0;
  std::uint32_t next_ = 0;
  std::uint32_t previous_ = kNone;
  std::uint32_t bits_ = 0;
  int held_ = 0;
  std::uint64_t pixels_ = 0;
  std::array<std::uint32_t, kMaxCodes> lengths_{};
};

std::uint32_t Le16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}

// Where the sub-blocks that start at `at` end (past their zero terminator); past the end
// of the bytes when they run over it.
std::size_t SkipSubBlocks(std::span<const std::uint8_t> gif, std::size_t at) {
  while (at < gif.size()) {
    const std::size_t length = gif[at++];
    if (length == 0) return at;
    at += length;
  }
  return gif.size() + 1;
}

bool FrameComplete(std::span<const std::uint8_t> gif, std::size_t at) {
  if (at + kImageDescriptorBytes + 1 > gif.size()) return false;
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(Le16(gif, at + 5)) * Le16(gif, at + 7);
  at += kImageDescriptorBytes + ColourTableBytes(gif[at + 9]);
  if (at >= gif.size()) return false;
  const int minimum = gif[at++];
  if (minimum < 1 || minimum >= kMaxCodeBits) return false;
  PixelCounter counter(minimum);
  while (at < gif.size() && counter.Pixels() < pixels) {
    const std::size_t length = gif[at++];
    if (length == 0) break;
    for (std::size_t i = 0; i < length && at < gif.size(); ++i, ++at) {
      if (!counter.Take(gif[at])) return counter.Pixels() >= pixels;
    }
  }
  return counter.Pixels() >= pixels;
}

}  // namespace

bool GifFirstFrameComplete(std::span<const std::uint8_t> gif) {
  if (gif.size() < kHeaderBytes) return false;
  std::size_t at = kHeaderBytes + ColourTableBytes(gif[10]);
  while (at < gif.size()) {
    if (gif[at] == kImage) return FrameComplete(gif, at);
    if (gif[at] != kExtension || at + 2 > gif.size()) return false;
    at = SkipSubBlocks(gif, at + 2);
  }
  return false;
}

}  // namespace zelka::graphics
