// Whether the run-length-encoded rows of a bitmap (RLE8, RLE4) reach the end of the
// picture. Compressed rows have no fixed length for the header check to hold against
// the file's, and the bitmap decoder takes data that stop early for the whole picture,
// the rows it never got left blank: a coupon would print with its upper part missing
// (the rows are stored bottom row first).
//
// Toolkit-free; nothing here trusts a length of the file.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/bitmap_header.h"

namespace zelka::graphics {

// Whether the coded data of `file`, whose headers ParseBitmapHeader accepted as `info`
// (kCompressionRle8 or kCompressionRle4), reach the last row, through its end or an
// end-of-bitmap code, before the file ends. An end-of-bitmap code before the last row
// ends the data early too. True for any other compression.
bool RleRowsComplete(std::span<const std::uint8_t> file, const BitmapInfo& info);

}  // namespace zelka::graphics
