// Bitmap files on disk: the existence test, the picture loader's check and the whole-file
// read into a fixed buffer. File names are UTF-8, as the file dialog gives them.
//
// Only regular files are opened: a device or pipe chosen by name could block a read for
// ever, and a directory cannot be read at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "graphics/bitmap_error.h"
#include "graphics/bitmap_header.h"

namespace zelka::graphics {

// True when something of that name exists (a directory too: the loader then refuses it).
bool BitmapFileExists(const std::string& name);

// The picture loader: reads the file's headers and checks them (ParseBitmapHeader);
// on success `info` holds W, H and the rest.
BitmapError LoadBitmap(const std::string& name, BitmapInfo& info);

struct FileRead {
  BitmapError error = BitmapError::kNone;  // kCannotRead or kTooLarge when not kNone
  std::uint64_t length = 0;                // the file's length; for kTooLarge, how long it is
};

// Reads the whole named file into the front of `buffer`, in binary. A file longer than
// the buffer is refused before a byte is read; a file that cannot be opened, or yields
// fewer bytes than its length, is kCannotRead (the buffer may then hold part of it).
FileRead ReadBitmapFile(const std::string& name, std::span<std::uint8_t> buffer);

}  // namespace zelka::graphics
