#include "graphics/picture_print.h"

#include <chrono>

#include "commands/catalogue.h"
#include "graphics/bitmap_file.h"

namespace zelka::graphics {

namespace {

constexpr std::chrono::milliseconds kReadTimeout{10'000};
constexpr commands::Byte kFeedAfterPicture = 5;  // ESC d 5 before the cut

// A layout whose every row has a frame's worth of bytes inside the file.
bool Sendable(const Picture& picture) {
  const RowLayout& layout = picture.layout;
  if (layout.rows == 0 || layout.rowBytes == 0 || layout.rowBytes > kMaxRasterRowBytes ||
      layout.storedRowBytes < layout.rowBytes || layout.pixelOffset > picture.file.size()) {
    return false;
  }
  const std::size_t room = picture.file.size() - layout.pixelOffset;
  if (room < layout.rowBytes) return false;
  return layout.rows - 1 <= (room - layout.rowBytes) / layout.storedRowBytes;
}

}  // namespace

BitmapError LoadPicture(const std::string& utf8Path, Picture& picture,
                        const ConversionOptions& options) {
  BitmapFile source;
  if (const BitmapError error = source.OpenAny(utf8Path); error != BitmapError::kNone) {
    return error;
  }
  if (source.IsPlainOneBit()) {
    // Checked before the file is read, as the file's own limit is.
    if (const BitmapError error = CheckPrintable(source.Info()); error != BitmapError::kNone) {
      return error;
    }
  }
  std::vector<std::uint8_t> bytes;
  if (const BitmapError error = source.ReadForPath(kPictureBufferSize, bytes);
      error != BitmapError::kNone) {
    return error;
  }
  return PictureFromBytes(std::move(bytes), options, picture);
}

RowsSent SendRasterRows(printer::Session& session, const Picture& picture) {
  link::SerialLink& link = session.Link();
  const std::span<std::uint8_t> frame = link.TxBuffer();
  RowsSent sent;
  for (; sent.rows < picture.layout.rows; ++sent.rows) {
    if (session.Cancelled()) {
      sent.cancelled = true;
      break;
    }
    const std::size_t length =
        BuildRasterRowFrame(RasterRowSource(picture.file, picture.layout, sent.rows), frame);
    // A frame that cannot be built goes out as nothing: a row not written whole.
    sent.status = length == 0 ? link::Status::kWriteShort : link.SendTx(length);
    if (sent.status != link::Status::kOk) break;
  }
  return sent;
}

PictureSent SendPicture(printer::Session& session, const Picture& picture) {
  PictureSent sent;
  sent.rows = picture.layout.rows;
  if (!Sendable(picture)) {
    sent.result.problem = printer::Problem::kNotSent;
    sent.result.port = session.Port();
    return sent;
  }
  sent.result = printer::OpenPrinter(session, kReadTimeout);
  if (!sent.result.Ok()) return sent;
  const RowsSent rows = SendRasterRows(session, picture);
  sent.rowsSent = rows.rows;
  if (rows.status != link::Status::kOk || rows.cancelled) {
    sent.result.problem = printer::Problem::kNotSent;
  }
  session.Link().Close();
  return sent;
}

printer::Result FinishPicture(printer::Session& session) {
  printer::Result result = printer::OpenPrinter(session, kReadTimeout);
  if (!result.Ok()) return result;
  link::SerialLink& link = session.Link();
  const link::Status fed = commands::FeedLines(link, kFeedAfterPicture);
  const link::Status cut = commands::CutPaper(link);
  link.Close();
  if (fed != link::Status::kOk || cut != link::Status::kOk) {
    result.problem = printer::Problem::kNotSent;
  }
  return result;
}

}  // namespace zelka::graphics
