#include "cli/text_input.h"

#include <cstdint>
#include <span>

namespace zelka::cli {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

}  // namespace

TextInput::TextInput(std::FILE* stream) : stream_(stream) {}

TextInput::TextInput(std::unique_ptr<files::RegularFile> file) : file_(std::move(file)) {}

std::optional<std::size_t> TextInput::ReadFile() {
  const std::size_t had = buffer_.size();
  buffer_.resize(had + kReadChunk);
  const auto got = file_->ReadSome({reinterpret_cast<std::uint8_t*>(buffer_.data() + had), kReadChunk});
  buffer_.resize(had + got.value_or(0));
  return got;
}

std::optional<std::size_t> TextInput::ReadStream() {
  // Up to a line end, not a whole chunk: a line from a pipe (tail -f orders | ...) prints
  // when it comes, not when 64 KiB have.
  std::size_t n = 0;
  int c = 0;
  while (n < kReadChunk && (c = std::getc(stream_)) != EOF) {
    buffer_.push_back(static_cast<char>(c));
    ++n;
    if (c == '\n') break;
  }
  if (c == EOF && std::ferror(stream_)) return std::nullopt;
  return n;
}

bool TextInput::Fill() {
  if (ended_) return false;
  // What was handed out already goes: the buffer holds one line and one chunk at most.
  buffer_.erase(0, start_);
  start_ = 0;
  const std::optional<std::size_t> got = file_ ? ReadFile() : ReadStream();
  if (!got) failure_ = "cannot be read (an I/O error)";
  if (!got || *got == 0) ended_ = true;
  return got && *got > 0;
}

std::optional<std::string> TextInput::Take(std::size_t lineEnd, std::size_t next) {
  std::string line = buffer_.substr(start_, lineEnd - start_);
  start_ = next;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++lineNumber_;
  return line;
}

std::optional<std::string> TextInput::TooLong() {
  failure_ = "line " + std::to_string(lineNumber_ + 1) + " is longer than " +
             std::to_string(kLongestTextLine) + " bytes: this is no text to print";
  ended_ = true;
  return std::nullopt;
}

std::optional<std::string> TextInput::Next() {
  if (!failure_.empty()) return std::nullopt;
  std::size_t searched = start_;  // no LF before this
  for (;;) {
    const std::size_t end = buffer_.find('\n', searched);
    if (end != std::string::npos) {
      if (end - start_ > kLongestTextLine) return TooLong();
      return Take(end, end + 1);
    }
    const std::size_t pending = buffer_.size() - start_;
    if (pending > kLongestTextLine) return TooLong();
    if (!Fill()) break;
    searched = pending;  // Fill moved the pending bytes to the front
  }
  if (!failure_.empty() || start_ >= buffer_.size()) return std::nullopt;
  return Take(buffer_.size(), buffer_.size());
}

}  // namespace zelka::cli
