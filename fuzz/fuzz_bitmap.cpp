// libFuzzer target: any bytes as a bitmap file, through everything that reads one before
// it reaches the printer: the header check (as the loader sees the head of the file and
// as a buffer holding it whole), the picture path's checks, the row reordering in place
// and the raster frames, the logo path's size-field check against the printer's own
// framing of the logo, and the simulated printer's own decoding of the logo.
//
// The file is copied into a buffer of exactly its length, so that AddressSanitizer
// catches a single byte read or written past its end.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "graphics/bitmap_header.h"
#include "graphics/raster_rows.h"
#include "sim/command_parser.h"
#include "sim/logo_bitmap.h"

namespace {

using namespace zelka::graphics;

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckHeader(const std::uint8_t* data, std::size_t size) {
  BitmapInfo whole;
  const BitmapError error = ParseBitmapHeader({data, size}, size, whole);
  // The loader sees only the head of the file and its length: it must agree.
  BitmapInfo fromHead;
  const std::size_t head = size < kHeaderBytesRead ? size : kHeaderBytesRead;
  Require(ParseBitmapHeader({data, head}, size, fromHead) == error);
  if (error != BitmapError::kNone) return;
  Require(whole.width >= 1 && whole.width <= kMaxDimension);
  Require(whole.Rows() >= 1 && whole.Rows() <= kMaxDimension);
  Require(whole.pixelOffset < size);
  // The picture path never sends a frame without dots nor one the count byte cannot hold.
  if (CheckPrintable(whole) == BitmapError::kNone) {
    Require(whole.width >= kMinPrintableWidth);
    Require(static_cast<std::size_t>(whole.width / 8) <= kMaxRasterRowBytes);
  }
}

// The picture path with W and H as the header gives them, and with W and H from the end
// of the input, as a file that changed after the loader looked at it would give them.
void PrintRows(const std::uint8_t* data, std::size_t size, std::int32_t width,
               std::int32_t height) {
  std::vector<std::uint8_t> file(data, data + size);
  RowLayout layout;
  if (ReorderBitmapRows(file, width, height, layout) != BitmapError::kNone) {
    Require(std::equal(file.begin(), file.end(), data));
    return;
  }
  Require(layout.pixelOffset + layout.storedRowBytes * layout.rows <= size);
  std::uint8_t frame[kRasterRowHead.size() + kMaxRasterRowBytes];
  for (std::size_t k = 0; k < layout.rows; ++k) {
    const auto row = RasterRowSource(file, layout, k);
    const std::size_t length = BuildRasterRowFrame(row, frame);
    Require(row.size() > kMaxRasterRowBytes ? length == 0 : length == row.size() + 6);
  }
}

// The logo path: a file whose headers and size field pass goes out behind ESC, and the
// printer must frame exactly that file as the logo, and what follows as a command of its
// own (here ESC i), never as part of the picture.
void CheckLogoFraming(const std::uint8_t* data, std::size_t size) {
  BitmapInfo info;
  if (ParseBitmapHeader({data, size}, size, info) != BitmapError::kNone ||
      CheckSizeField({data, size}, size) != BitmapError::kNone) {
    return;
  }
  std::vector<std::uint8_t> stream{0x1B};
  stream.insert(stream.end(), data, data + size);
  stream.insert(stream.end(), {0x1B, 0x69});
  const auto commands = zelka::sim::CommandParser::ParseAll(stream);
  Require(commands.size() == 2);
  Require(commands[0].name == zelka::sim::command_name::kLogo);
  Require(commands[0].bytes.size() == size + 1);
  Require(commands[1].bytes == std::vector<std::uint8_t>{0x1B, 0x69});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckHeader(data, size);

  BitmapInfo info;
  if (ParseBitmapHeader({data, size}, size, info) == BitmapError::kNone &&
      CheckPrintable(info) == BitmapError::kNone) {
    PrintRows(data, size, info.width, info.height);
  }
  if (size >= 8) {
    const auto* tail = data + size - 8;
    const auto width =
        static_cast<std::int32_t>(tail[0] | tail[1] << 8 | tail[2] << 16 | tail[3] << 24);
    const auto height =
        static_cast<std::int32_t>(tail[4] | tail[5] << 8 | tail[6] << 16 | tail[7] << 24);
    PrintRows(data, size, width, height);
  }
  CheckLogoFraming(data, size);

  const std::vector<std::uint8_t> file(data, data + size);
  if (const auto logo = zelka::sim::DecodeLogoBitmap(file)) {
    for (const auto& row : logo->rows)
      Require(row.size() == static_cast<std::size_t>(logo->width + 7) / 8);
  }
  zelka::sim::DecodeRasterRow(file);
  return 0;
}
