#include "graphics/png_chunks.h"

#include <algorithm>
#include <array>

namespace zelka::graphics {

namespace {

constexpr std::size_t kSignatureBytes = 8;
// Length (4), type (4) before a chunk's data, its CRC (4) after it.
constexpr std::size_t kChunkHeadBytes = 8;
constexpr std::size_t kChunkCrcBytes = 4;

using ChunkType = std::array<std::uint8_t, 4>;
constexpr ChunkType kEnd{'I', 'E', 'N', 'D'};
constexpr std::array<ChunkType, 3> kText{{{'t', 'E', 'X', 't'}, {'z', 'T', 'X', 't'}, {'i', 'T', 'X', 't'}}};

}  // namespace

PngChunks ReadPngChunks(std::span<const std::uint8_t> png) {
  PngChunks chunks;
  std::size_t at = kSignatureBytes;
  while (at + kChunkHeadBytes <= png.size()) {
    const std::uint64_t length = static_cast<std::uint64_t>(png[at]) << 24 |
                                 static_cast<std::uint64_t>(png[at + 1]) << 16 |
                                 static_cast<std::uint64_t>(png[at + 2]) << 8 | png[at + 3];
    const std::uint64_t end = at + kChunkHeadBytes + length + kChunkCrcBytes;
    if (end > png.size()) {
      chunks.cut = true;
      break;
    }
    ChunkType type;
    std::copy_n(png.begin() + static_cast<std::ptrdiff_t>(at + 4), type.size(), type.begin());
    if (type == kEnd) break;
    if (std::find(kText.begin(), kText.end(), type) != kText.end()) {
      chunks.text.emplace_back(at, static_cast<std::size_t>(end));
    }
    at = static_cast<std::size_t>(end);
  }
  return chunks;
}

}  // namespace zelka::graphics
