// The firmware file (*.bin): the image sent byte for byte; its last byte names the board
// version the image is built for.
//
// The file is read once, whole, into a FirmwareImage; the board check and the transfer
// both use that image and never the file again, so a file replaced on disk while the
// update runs cannot get past the check and into the printer.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "firmware/bootloader_protocol.h"

namespace zelka::firmware {

enum class FileProblem {
  kNone,
  kDoesNotExist,
  kNotAFile,    // a folder, pipe, device or socket
  kUnreadable,  // opening or reading failed, or the file changed length while it was read
  kEmpty,       // nothing to flash: taken as it is, it would erase the printer for nothing
  kTooLarge,    // longer than kMaxImageBytes; not read
  kForeign,     // plainly a file of another kind (see FirmwareFileRead::foreign)
};

// Kinds of file that users pick by mistake, told by their first bytes. Taken for
// firmware, such a file would have its last byte read as a board version.
enum class ForeignFormat {
  kNone,
  kPngPicture,
  kJpegPicture,
  kGifPicture,
  kBmpPicture,
  kZipArchive,
  kPdfDocument,
};

// The kind of file `bytes` (a whole file) begins as; kNone for anything else.
ForeignFormat ForeignFormatOf(std::span<const std::uint8_t> bytes);

struct FirmwareImage {
  std::vector<std::uint8_t> bytes;

  // The board version the image is built for: its last byte, 0 for an empty image.
  std::uint8_t Board() const { return bytes.empty() ? 0 : bytes.back(); }
};

struct FirmwareFileRead {
  FileProblem problem = FileProblem::kNone;
  // The file's length when it was opened (also when it is refused for it); 0 when it
  // could not be opened.
  std::uint64_t length = 0;
  ForeignFormat foreign = ForeignFormat::kNone;  // with kForeign
};

// Reads the file at `utf8Path` into `image`. The file is opened once, without blocking
// (a pipe or device in its place is refused, not waited on), and read from the opened
// descriptor. On any problem `image` is left empty; a file that is plainly a picture,
// archive or document is refused (kForeign) once read.
FirmwareFileRead ReadFirmwareFile(const std::string& utf8Path, FirmwareImage& image);

}  // namespace zelka::firmware
