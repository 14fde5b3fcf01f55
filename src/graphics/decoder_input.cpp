#include "graphics/decoder_input.h"

#include <utility>

#include "graphics/gif_frame.h"
#include "graphics/jpeg_markers.h"
#include "graphics/png_chunks.h"

namespace zelka::graphics {

namespace {

// `bytes` without the [begin, end) ranges of `left` (in file order); empty when there
// are none.
std::vector<std::uint8_t> Without(std::span<const std::uint8_t> bytes,
                                  const std::vector<std::pair<std::size_t, std::size_t>>& left) {
  std::vector<std::uint8_t> kept;
  if (left.empty()) return kept;
  std::size_t dropped = 0;
  for (const auto& [begin, end] : left) dropped += end - begin;
  kept.reserve(bytes.size() - dropped);
  std::size_t from = 0;
  for (const auto& [begin, end] : left) {
    kept.insert(kept.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from),
                bytes.begin() + static_cast<std::ptrdiff_t>(begin));
    from = end;
  }
  kept.insert(kept.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end());
  return kept;
}

}  // namespace

DecoderInput InspectForDecoder(std::span<const std::uint8_t> bytes, PictureFormat format) {
  DecoderInput input;
  switch (format) {
    case PictureFormat::kJpeg: {
      const JpegLayout layout = ReadJpegLayout(bytes);
      input.complete = layout.complete;
      input.passes = layout.scans;
      input.bufferBytes = JpegCoefficientBytes(layout);
      input.trimmed = Without(bytes, layout.unneeded);
      break;
    }
    case PictureFormat::kPng: {
      const PngChunks chunks = ReadPngChunks(bytes);
      input.complete = !chunks.cut;
      input.trimmed = Without(bytes, chunks.text);
      break;
    }
    case PictureFormat::kGif: input.complete = GifFirstFrameComplete(bytes); break;
    case PictureFormat::kBmp: break;
  }
  return input;
}

}  // namespace zelka::graphics
