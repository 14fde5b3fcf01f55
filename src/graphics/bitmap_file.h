// A bitmap file the user named, opened once: its headers are checked and all its bytes
// read from the same descriptor. A name checked first and opened again later could by then
// point at a pipe or a device (whose read would block for ever) or at another file whose
// headers nobody checked. File names are UTF-8, as the file dialog and the command line
// give them.
//
// Toolkit-free, like bitmap_header.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/regular_file.h"
#include "graphics/bitmap_error.h"
#include "graphics/bitmap_header.h"

namespace zelka::graphics {

class BitmapFile {
 public:
  // Opens `name` without blocking, reads its first kHeaderBytesRead bytes (the whole file
  // when it is shorter) and checks them with ParseBitmapHeader against the length of the
  // opened file. kDoesNotExist when nothing has that name; kCannotRead for a directory,
  // pipe, device or socket and for a failed open or read; else the header check's answer.
  // Once per object.
  BitmapError Open(const std::string& name);
  // The same for a file that may be a picture of another kind: one that begins with "BM"
  // is checked as above; any other is accepted unchecked (IsBitmap() false), for the
  // picture decoders to judge once ReadAll has read it.
  BitmapError OpenAny(const std::string& name);
  // Whether the opened file claimed to be a bitmap (and so had its headers checked).
  bool IsBitmap() const { return bitmap_; }
  // A checked bitmap of one bit per pixel, uncompressed: the kind sent as it is.
  bool IsPlainOneBit() const {
    return bitmap_ && info_.bitsPerPixel == 1 && info_.compression == kCompressionNone;
  }

  // Valid once Open returned kNone, or OpenAny with IsBitmap().
  const BitmapInfo& Info() const { return info_; }
  // The file's length when it was opened.
  std::uint64_t Length() const { return file_.Length(); }
  // The bytes the header check looked at.
  std::span<const std::uint8_t> Head() const { return std::span(head_).first(headBytes_); }

  // The whole file into `bytes`, resized to Length(): the checked head, then the rest from
  // the descriptor, so the headers in `bytes` are the ones that were checked even if the
  // file is rewritten meanwhile. kTooLarge, before anything more is read or allocated, for
  // a file longer than `limit`; kCannotRead before a successful Open, on a second call, or
  // when the file yields fewer bytes than it had. `bytes` changes only on kNone.
  BitmapError ReadAll(std::size_t limit, std::vector<std::uint8_t>& bytes);
  // ReadAll with the limit of the file's kind: `oneBitLimit` for a plain one-bit bitmap,
  // else the picture decoders' kMaxSourceFileBytes (beyond it kSourceTooLarge).
  BitmapError ReadForPath(std::size_t oneBitLimit, std::vector<std::uint8_t>& bytes);

 private:
  enum class State { kClosed, kChecked, kRead };
  BitmapError OpenAndRead(const std::string& name);

  files::RegularFile file_;
  std::array<std::uint8_t, kHeaderBytesRead> head_{};
  std::size_t headBytes_ = 0;
  BitmapInfo info_;
  bool bitmap_ = false;
  State state_ = State::kClosed;
};

}  // namespace zelka::graphics
