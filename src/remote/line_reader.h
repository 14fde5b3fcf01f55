// Cuts a connection's byte stream into the client's lines.
//
// Bytes go in as they arrive, in chunks of any size; whole lines come out in order. A line
// ends in LF; a CR right before the LF is not part of it. Memory stays bounded however the
// client behaves: a line that grows past kMaxLineBytes is reported as soon as it does,
// without waiting for its LF, and a flood of short lines costs no more than its chunk.
//
// Thread-safety: none; one connection's thread owns its reader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelka::remote {

class LineReader {
 public:
  enum class Result {
    Line,      // `line` holds the next line
    NeedMore,  // no whole line is buffered
    TooLong,   // the client sent a line longer than kMaxLineBytes: end the connection
  };

  void Feed(std::string_view bytes);
  Result Next(std::string& line);
  // Bytes received and not yet handed out as lines.
  std::size_t Pending() const { return buffer_.size() - start_; }

 private:
  std::string buffer_;
  std::size_t start_ = 0;    // where the next line begins
  std::size_t scanned_ = 0;  // bytes from start_ on known to hold no LF
};

}  // namespace zelka::remote
