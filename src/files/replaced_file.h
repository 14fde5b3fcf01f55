// Writing a file the user named, whole or not at all: the bytes go to a new file beside
// it, which takes its name only once every byte is written, flushed to the disk and the
// file closed without an error. A full disk, a quota, a size limit or an I/O error leaves
// the old file as it was (or none) and says why, instead of a file cut short under the
// name. A name that is a pipe, a device or a directory is refused before anything is
// opened: writing to a pipe nobody reads would block for ever, and a device is no place
// for a file.
//
// File names are as the operating system gives them (on POSIX any bytes but NUL).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zelka::files {

enum class WriteError {
  kNone,
  kNotRegular,  // the name is a pipe, device, socket or directory: nothing was written
  kFailed,      // creating, writing, flushing, closing or renaming failed
};

struct WriteResult {
  WriteError error = WriteError::kNone;
  std::string systemReason;  // kFailed: the system's words ("No space left on device")
  bool Ok() const { return error == WriteError::kNone; }
};

// Writes `bytes` as the file `name`, replacing a regular file of that name (keeping its
// permissions; a new file gets the usual ones, the process's umask applied). A symbolic
// link is followed: the file it names is replaced, the link stays.
WriteResult ReplaceFile(const std::string& name, std::span<const std::uint8_t> bytes);

}  // namespace zelka::files
