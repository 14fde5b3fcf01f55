// Picture printing (Button3): a one-bit bitmap file printed as raster graphics, one
// raster row frame per pixel row, top row first, then a feed and a cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/raster_rows.h"
#include "link/serial_link.h"
#include "seams/context.h"

namespace zelka::graphics {

inline constexpr std::size_t kPictureBufferSize = 700'000;
// Holds the whole file while its rows are sent; only a Button3Click (under the link
// lock) uses it.
extern std::uint8_t PictureBuffer[kPictureBufferSize];

void Button3Click(seams::Context& context);

struct RowsSent {
  std::size_t rows = 0;                 // rows written whole
  link::StatusCode status = link::kOk;  // of the first row that was not
};

// Sends raster row 0 .. layout.rows - 1 of the reordered file image `file` over the open
// port, each in a frame of its own, back to back (rows of at most kMaxRasterRowBytes, as
// CheckPrintable ensures). Stops at the first row that is not written whole: the printer,
// still waiting for that row's bytes, would take whatever came next as dots.
RowsSent SendRasterRows(std::span<const std::uint8_t> file, const RowLayout& layout);

}  // namespace zelka::graphics
