// The chunks of a PNG file, walked before the decoder sees the file. The decoder
// inflates every compressed text chunk (zTXt, iTXt) whole, keeps them all and copies
// them again as text: a 16 × 16 picture of 386 kB carrying fifty 7.9 MB texts takes
// about 2 GB. None of the text is printed, so it is left out before decoding.
//
// Toolkit-free; nothing here trusts a length of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace zelka::graphics {

struct PngChunks {
  // The text chunks (tEXt, zTXt, iTXt), as [begin, end) byte ranges in file order.
  std::vector<std::pair<std::size_t, std::size_t>> text;
  // A chunk's length runs past the end of the bytes: the file was cut short (or its
  // length field is broken), and the decoder would take the length at its word.
  bool cut = false;
};

// The chunks of `png`, which starts with the PNG signature. The walk stops at the end
// chunk (IEND) or at a chunk that runs past the end of the bytes; what follows is not
// looked at.
PngChunks ReadPngChunks(std::span<const std::uint8_t> png);

}  // namespace zelka::graphics
