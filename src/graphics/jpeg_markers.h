// The marker segments of a JPEG file, walked before the decoder sees the file. The
// decoder trusts what a file declares: a progressive file of thousands of scans makes it
// go over every block of the picture thousands of times; a frame coded in more than one
// scan makes it hold the coefficients of every block (128 bytes a block, each component at
// full size however small the picture it is asked for); and every comment and application
// segment (up to 64 kB each, any number of them) is kept and copied again as text. One
// pass over the bytes tells all three.
//
// Toolkit-free; nothing here trusts a length of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace zelka::graphics {

struct JpegComponent {
  std::uint8_t horizontal = 1;  // sampling factors, 1..4
  std::uint8_t vertical = 1;
};

struct JpegLayout {
  // The first frame header's: 0 × 0 when there is none.
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool progressive = false;
  std::vector<JpegComponent> components;
  std::size_t scans = 0;
  // Components in the first scan: fewer than the frame's, and the frame is coded in
  // more than one scan even when it is not progressive.
  std::size_t firstScanComponents = 0;
  // An end-of-image marker follows the last scan's data: the file is not cut short.
  bool complete = false;
  // Segments the decoder need not see, as [begin, end) byte ranges in file order:
  // comments and application segments other than APP0 (JFIF: the colour space), the
  // first APP1 (Exif: the camera's orientation) and APP14 (Adobe: the colour transform).
  std::vector<std::pair<std::size_t, std::size_t>> unneeded;
};

// Walks `jpeg`, which starts with the start-of-image marker (FF D8), as the decoder
// reads it: marker segments by their lengths, a scan's coded data up to the next marker
// that is not a restart, bytes between segments passed over. Stops at the end-of-image
// marker or where a segment runs past the end of the bytes.
JpegLayout ReadJpegLayout(std::span<const std::uint8_t> jpeg);

// The bytes the decoder allocates for the coefficients of the whole frame when it is
// coded in more than one scan (progressive, or a first scan without every component); 0
// when it is decoded in one pass, a few rows of blocks at a time.
std::uint64_t JpegCoefficientBytes(const JpegLayout& layout);

}  // namespace zelka::graphics
