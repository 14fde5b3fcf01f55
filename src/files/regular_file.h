// Reading a file the user named: opened once, checked on the opened descriptor, read
// from it. A name checked first and opened again later could meanwhile point at a pipe or
// a device, whose open or read may block for ever, or at another file altogether.
//
// File names are UTF-8, as the file dialogs and the command line give them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zelka::files {

enum class FileError {
  kNone,
  kDoesNotExist,
  kNotRegular,  // a directory, pipe, device or socket
  kUnreadable,  // opening or reading failed (permission, I/O error, or it shrank)
};

class RegularFile {
 public:
  RegularFile() = default;
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  // Opens `name` without blocking and checks that it is a regular file.
  FileError Open(const std::string& name);
  // The length the opened file had when it was opened.
  std::uint64_t Length() const { return length_; }
  // Reads exactly bytes.size() bytes from the current position; false when fewer came.
  bool Read(std::span<std::uint8_t> bytes);
  // Reads what comes next, at most bytes.size(): how many bytes were read, 0 at the end;
  // nothing on a read error.
  std::optional<std::size_t> ReadSome(std::span<std::uint8_t> bytes);

 private:
  struct Handle;
  Handle* handle_ = nullptr;
  std::uint64_t length_ = 0;
};

}  // namespace zelka::files
