#include "remote/line_reader.h"

#include "remote/line_protocol.h"

namespace zelka::remote {

void LineReader::Feed(std::string_view bytes) { buffer_.append(bytes); }

LineReader::Result LineReader::Next(std::string& line) {
  const std::size_t lineFeed = buffer_.find(kLineFeed, start_ + scanned_);
  if (lineFeed == std::string::npos) {
    scanned_ = buffer_.size() - start_;
    // A CR at the very end may be the one before the LF, which the line does not count.
    const bool endsInCr = scanned_ > 0 && buffer_.back() == kCarriageReturn;
    if (scanned_ > kMaxLineBytes + (endsInCr ? 1 : 0)) return Result::TooLong;
    // Handed-out lines are dropped only here, once per chunk rather than once per line,
    // so that a chunk of many short lines is not shifted down again for each of them.
    buffer_.erase(0, start_);
    start_ = 0;
    return Result::NeedMore;
  }
  std::size_t length = lineFeed - start_;
  if (length > 0 && buffer_[lineFeed - 1] == kCarriageReturn) --length;
  if (length > kMaxLineBytes) return Result::TooLong;
  line.assign(buffer_, start_, length);
  start_ = lineFeed + 1;
  scanned_ = 0;
  return Result::Line;
}

}  // namespace zelka::remote
