#include "graphics/bitmap_file.h"

#include <algorithm>

#include "graphics/picture_options.h"

namespace zelka::graphics {

BitmapError BitmapFile::OpenAndRead(const std::string& name) {
  if (state_ != State::kClosed) return BitmapError::kCannotRead;
  switch (file_.Open(name)) {
    case files::FileError::kNone: break;
    case files::FileError::kDoesNotExist: return BitmapError::kDoesNotExist;
    case files::FileError::kNotRegular:
    case files::FileError::kUnreadable: return BitmapError::kCannotRead;
  }
  const std::uint64_t length = file_.Length();
  headBytes_ = length < head_.size() ? static_cast<std::size_t>(length) : head_.size();
  if (!file_.Read(std::span(head_).first(headBytes_))) return BitmapError::kCannotRead;
  return BitmapError::kNone;
}

BitmapError BitmapFile::Open(const std::string& name) {
  if (const BitmapError error = OpenAny(name); error != BitmapError::kNone) return error;
  if (bitmap_) return BitmapError::kNone;
  // Not even the signature (the header check's first answer); nothing may be read.
  state_ = State::kClosed;
  return BitmapError::kNotBitmap;
}

BitmapError BitmapFile::OpenAny(const std::string& name) {
  if (const BitmapError error = OpenAndRead(name); error != BitmapError::kNone) return error;
  const std::span<const std::uint8_t> head = Head();
  if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M') {
    BitmapInfo info;
    if (const BitmapError error = ParseBitmapHeader(head, Length(), info);
        error != BitmapError::kNone) {
      return error;
    }
    info_ = info;
    bitmap_ = true;
  }
  state_ = State::kChecked;
  return BitmapError::kNone;
}

BitmapError BitmapFile::ReadForPath(std::size_t oneBitLimit, std::vector<std::uint8_t>& bytes) {
  if (IsPlainOneBit()) return ReadAll(oneBitLimit, bytes);
  const BitmapError error = ReadAll(kMaxSourceFileBytes, bytes);
  return error == BitmapError::kTooLarge ? BitmapError::kSourceTooLarge : error;
}

BitmapError BitmapFile::ReadAll(std::size_t limit, std::vector<std::uint8_t>& bytes) {
  if (state_ != State::kChecked) return BitmapError::kCannotRead;
  if (Length() > limit) return BitmapError::kTooLarge;
  state_ = State::kRead;  // the descriptor's position has moved past the head
  std::vector<std::uint8_t> whole(static_cast<std::size_t>(Length()));
  std::copy(head_.begin(), head_.begin() + static_cast<std::ptrdiff_t>(headBytes_), whole.begin());
  if (!file_.Read(std::span(whole).subspan(headBytes_))) return BitmapError::kCannotRead;
  bytes = std::move(whole);
  return BitmapError::kNone;
}

}  // namespace zelka::graphics
