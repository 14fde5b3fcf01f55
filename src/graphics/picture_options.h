// How a picture that is not a one-bit bitmap becomes the printer's dots, and the bounds
// its decoding stays within. Shared by the picture print, the logo store, the preview and
// their front ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zelka::graphics {

// Dots across the paper: 72 mm printed of 80 mm paper, 48 mm of 57 mm, at 8 dots a mm.
inline constexpr int kPaperDots80mm = 576;
inline constexpr int kPaperDots57mm = 384;

struct ConversionOptions {
  // The widest picture the paper takes: a wider one is scaled down to it, keeping its
  // aspect ratio; a narrower one is never scaled up. Taken as a whole number of bytes
  // (rounded down) between 8 and 2040 dots.
  int paperDots = kPaperDots80mm;
  // A dot is black where the grey level (0 black .. 255 white) is below this; nothing:
  // Floyd–Steinberg error diffusion, which keeps the shades of a photograph.
  std::optional<int> threshold;
};

// The longest file that is read to be decoded: a photograph from a camera is a few MB,
// a PNG of a receipt far less. The file is read into memory whole (it is decoded from
// memory, so that a pipe or a device in its place never reaches a decoder by name).
inline constexpr std::size_t kMaxSourceFileBytes = 50u << 20;

// The most pixels a picture may have, judged from its header before it is decoded: a
// decoder holds the whole picture at four bytes a pixel, so a small file announcing huge
// dimensions (a decompression bomb) would otherwise take gigabytes. 8000 × 6000 (48
// Mpixel, the largest frame of today's phone cameras) is 183 MB decoded, and admits every
// photograph and long receipt picture people print, a 4000 × 3000 photo with room to
// spare; anything larger is no picture for a 72 mm wide receipt.
inline constexpr std::uint64_t kMaxSourcePixels = 8000ull * 6000;
// What the decoder itself may allocate, in MiB: the cap above at four bytes a pixel. It
// also stops a decoder that would allocate more than the header promised (a GIF frame
// larger than its screen, a 16-bit PNG at eight bytes a pixel).
inline constexpr int kDecoderAllocationLimitMb =
    static_cast<int>((kMaxSourcePixels * 4 + (1u << 20) - 1) >> 20);

// The most scans a JPEG may have. A progressive JPEG is decoded in one pass over every
// block of the picture per scan (about 9 ms at 48 Mpixel), however small the picture
// asked for: encoders write 10 scans for colour (libjpeg's default), 18 for CMYK, a few
// dozen at most when they optimise the split; thousands are a file made to keep the
// decoder busy for minutes.
inline constexpr std::size_t kMaxJpegScans = 100;

struct DecodeLimits {
  std::uint64_t maxPixels = kMaxSourcePixels;
  // Also the most that the decoder may hold besides the picture (a JPEG coded in several
  // scans keeps two bytes a sample of the whole frame, whatever size it is decoded to).
  int allocationLimitMb = kDecoderAllocationLimitMb;
  std::size_t maxScans = kMaxJpegScans;
};

}  // namespace zelka::graphics
