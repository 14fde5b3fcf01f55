// Picture printing: a one-bit bitmap file printed as raster graphics, one raster row
// frame per pixel row, top row first; then, as a job of its own, a feed and a cut. A
// picture of any other kind (PNG, JPEG, GIF, BMP of another depth) is first converted to
// a one-bit bitmap in memory (picture_convert.h) and then takes the same path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/bitmap_error.h"
#include "graphics/picture_options.h"
#include "graphics/raster_rows.h"
#include "link/serial_link.h"
#include "printer/result.h"
#include "printer/session.h"

namespace zelka::graphics {

// The largest one-bit bitmap file that is printed (also one converted from a picture).
inline constexpr std::size_t kPictureBufferSize = 700'000;

// A picture ready to be sent: the one-bit bitmap file's bytes with the stored rows put top
// row first (ReorderBitmapRows), and where the rows lie in them.
struct Picture {
  std::vector<std::uint8_t> file;  // at most kPictureBufferSize bytes
  RowLayout layout;
};

// Reads the file named `utf8Path` into `picture`, refusing it at the first of these that
// fails: it exists (kDoesNotExist); it is a regular file that can be read (kCannotRead);
// a file that begins with "BM", its headers (ParseBitmapHeader). Then:
//  - a one-bit bitmap without compression, as it is: the picture path's own conditions
//    (CheckPrintable: 8 to 2047 dots wide); at most kPictureBufferSize bytes (kTooLarge);
//    the whole read. The same bytes reach the printer as they are in the file.
//  - any other picture: at most kMaxSourceFileBytes (kSourceTooLarge); the whole read;
//    then converted for `options` (ConvertToOneBitBitmap: kNotPicture, kCorruptPicture,
//    kTooManyPixels, or kConvertedTooLarge when its dots pass kPictureBufferSize).
// The file is opened once and never blocks the caller (a pipe or a device in its place is
// kCannotRead). Uses no port; `picture` changes only on kNone.
BitmapError LoadPicture(const std::string& utf8Path, Picture& picture,
                        const ConversionOptions& options = {});

// LoadPicture's work on a file already in memory, `bytes` (all of it).
BitmapError PictureFromBytes(std::vector<std::uint8_t> bytes, const ConversionOptions& options,
                             Picture& picture, const DecodeLimits& limits = {});

struct PictureSent {
  printer::Result result;
  std::size_t rowsSent = 0;  // rows written whole
  std::size_t rows = 0;      // the picture's rows
};

// Opens the printer's port (10 s read time-out), sends raster row 0 .. rows - 1, each in a
// frame of its own, back to back, and closes the port. The sending stops, with kNotSent,
// at the first row that is not written whole (the printer, still waiting for that row's
// bytes, would take whatever came next as dots; PictureSendFailedText(rowsSent + 1, rows)
// words it) and, between two rows, once the session is cancelled. A picture that
// LoadPicture did not make (no rows, or rows that do not fit a frame or its file) is
// kNotSent without the port being opened.
PictureSent SendPicture(printer::Session& session, const Picture& picture);

// Opens the printer's port (10 s read time-out), feeds five lines (ESC d 5) so that the
// picture clears the cutter, cuts (ESC i) and closes the port; the cut is sent also when
// the feed is not. Sent once the user has been told that the picture printed.
printer::Result FinishPicture(printer::Session& session);

// The sending part of SendPicture, over the printer's link, which the caller has opened.
struct RowsSent {
  std::size_t rows = 0;                     // rows written whole
  link::Status status = link::Status::kOk;  // of the first row that was not
  bool cancelled = false;                   // stopped because the session was cancelled
};
// Each frame is built in the link's transmit buffer and sent from there: no row is
// copied or allocated on its way.
RowsSent SendRasterRows(printer::Session& session, const Picture& picture);

}  // namespace zelka::graphics
