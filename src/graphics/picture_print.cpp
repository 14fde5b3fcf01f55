#include "graphics/picture_print.h"

#include <chrono>
#include <optional>

#include "commands/catalogue.h"
#include "graphics/bitmap_file.h"
#include "graphics/choose_bitmap.h"
#include "graphics/messages.h"
#include "link/link_lock.h"

namespace zelka::graphics {

using namespace zelka::link;

std::uint8_t PictureBuffer[kPictureBufferSize];

namespace {

constexpr std::chrono::milliseconds kReadTimeoutMs{10'000};
constexpr std::uint8_t kFeedAfterPicture = 5;  // ESC d 5 before the cut

bool Refuse(seams::Context& context, BitmapError error, std::size_t limit) {
  if (error == BitmapError::kNone) return false;
  context.dialogs.Error(BitmapErrorText(error, limit));
  return true;
}

}  // namespace

RowsSent SendRasterRows(std::span<const std::uint8_t> file, const RowLayout& layout) {
  // A frame never depends on what the buffer held before, so the buffer is cleared once
  // and not for every row: 740 KB per row would cost more than the row itself.
  ClearTxBuffer();
  RowsSent sent;
  for (; sent.rows < layout.rows; ++sent.rows) {
    const std::span<const std::uint8_t> row = RasterRowSource(file, layout, sent.rows);
    TxLength = static_cast<std::int32_t>(BuildRasterRowFrame(row, std::span(TxBuffer)));
    sent.status = SendTx();
    if (sent.status != kOk) break;
  }
  return sent;
}

void Button3Click(seams::Context& context) {
  const std::optional<ChosenBitmap> chosen = ChooseBitmapFile(context);
  if (!chosen) return;
  // The design would print anything else as noise; the technician is told instead.
  if (Refuse(context, CheckPrintable(chosen->info), kPictureBufferSize)) return;

  PrinterOperation operation;
  const FileRead read = ReadBitmapFile(chosen->name, PictureBuffer);
  if (Refuse(context, read.error, kPictureBufferSize)) return;
  const std::span<std::uint8_t> file(PictureBuffer, static_cast<std::size_t>(read.length));
  RowLayout layout;
  // W and H are the loader's; the file may have changed since, so the rows are bounded
  // by what was read.
  if (Refuse(context, ReorderBitmapRows(file, chosen->info.width, chosen->info.height, layout),
             kPictureBufferSize)) {
    return;
  }

  const StatusCode opened =
      OpenPort(CurrentPortName, CurrentBaud, static_cast<int>(kReadTimeoutMs.count()));
  if (opened != kOk && opened != kAlreadyOpen) {
    context.dialogs.Error(kPicturePortFailed);
    return;
  }
  const RowsSent sent = SendRasterRows(file, layout);
  if (sent.status != kOk) {
    context.dialogs.Error(PictureSendFailedText(sent.rows + 1, layout.rows));
    ClosePort();
    return;
  }
  // Shown with the port still open: the paper is fed and cut once the box is closed.
  context.dialogs.Information(kPicturePrinted);
  commands::FeedLines(kFeedAfterPicture);
  commands::CutPaper();
  ClosePort();
}

}  // namespace zelka::graphics
