// The lines of print text, read while they are printed: whatever the input (an endless
// pipe, a sparse file of a terabyte, a file without a line end), memory stays bounded.
//
// Thread-safety: none; the command's thread only.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "files/regular_file.h"

namespace zelka::cli {

// A longer line is no text for a receipt (one printed line holds at most 57 characters):
// it ends the command rather than be held in memory.
inline constexpr std::size_t kLongestTextLine = 64 * 1024;

class TextInput {
 public:
  // Standard input (or any stream); not owned.
  explicit TextInput(std::FILE* stream);
  // A file opened and checked before the printer was searched for.
  explicit TextInput(std::unique_ptr<files::RegularFile> file);

  // The next line, split at LF, a CR before the LF taken off, no empty line after a last
  // LF. Nothing at the end, and when reading failed or a line was too long (Failure()).
  std::optional<std::string> Next();
  // Why the lines stopped before the end; "" when they did not.
  const std::string& Failure() const { return failure_; }

 private:
  // Reads more into the buffer; false at the end or on a failure.
  bool Fill();
  std::optional<std::size_t> ReadFile();
  std::optional<std::size_t> ReadStream();
  // The line from start_ to `lineEnd`; the next one starts at `next`.
  std::optional<std::string> Take(std::size_t lineEnd, std::size_t next);
  std::optional<std::string> TooLong();

  std::FILE* stream_ = nullptr;
  std::unique_ptr<files::RegularFile> file_;
  std::string buffer_;
  std::size_t start_ = 0;  // where the next line begins in buffer_
  std::size_t lineNumber_ = 0;
  bool ended_ = false;
  std::string failure_;
};

}  // namespace zelka::cli
