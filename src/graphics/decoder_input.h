// What a picture file's own structure says before a decoder sees it: whether its data
// are all there, what decoding it costs beyond holding the picture, and the bytes the
// decoder is given, without the parts it need not read (jpeg_markers.h, png_chunks.h,
// gif_frame.h). The decoders bound only the picture they allocate; the rest of their
// work and memory follows from these.
//
// Toolkit-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zelka::graphics {

enum class PictureFormat { kPng, kJpeg, kGif, kBmp };

struct DecoderInput {
  // The file without what the decoder need not read (a PNG's text, a JPEG's comments and
  // application segments of no use); empty when nothing is left out.
  std::vector<std::uint8_t> trimmed;
  // The data reach as far as the file's headers promise (a JPEG's end marker after its
  // last scan, every pixel of a GIF's first frame, no PNG chunk past the end).
  bool complete = true;
  // Passes the decoder makes over the whole picture: a JPEG's scans.
  std::size_t passes = 1;
  // What the decoder holds besides the picture it makes: a JPEG's coefficients.
  std::uint64_t bufferBytes = 0;
};

// Walks `bytes`, a file of `format` by its signature. A bitmap's rows are checked with
// its headers (RleRowsComplete), not here.
DecoderInput InspectForDecoder(std::span<const std::uint8_t> bytes, PictureFormat format);

}  // namespace zelka::graphics
