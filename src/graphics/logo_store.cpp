#include "graphics/logo_store.h"

#include <chrono>

#include "commands/catalogue.h"
#include "graphics/bitmap_file.h"
#include "graphics/choose_bitmap.h"
#include "graphics/messages.h"
#include "link/link_lock.h"

namespace zelka::graphics {

using namespace zelka::link;

namespace {

// The printer stores the picture before it answers the state query.
constexpr std::chrono::milliseconds kLoadReadTimeoutMs{10'000};
constexpr std::chrono::milliseconds kEraseReadTimeoutMs{7'500};
constexpr std::uint8_t kLogoCommand = commands::kEsc;  // ESC, then the bitmap file
constexpr std::uint8_t kLogoStoredBit = 0x01;          // bit 0 of the GS I 4 reply

int Ms(std::chrono::milliseconds timeout) { return static_cast<int>(timeout.count()); }

// Label4 after a logo state query that returned `status` (the reply byte in RxBuffer[0]).
// True when the printer replied.
bool ShowLogoState(seams::WindowState& window, StatusCode status) {
  if (status != kOk) {
    window.SetValue("Label4", kNoData, seams::kRedColour);
    return false;
  }
  const bool stored = (RxBuffer[0] & kLogoStoredBit) != 0;
  window.SetValue("Label4", stored ? kLogoPresent : kLogoAbsent, seams::kWindowTextColour);
  return true;
}

}  // namespace

void Button8Click(seams::Context& context) {
  const std::optional<ChosenBitmap> chosen = ChooseBitmapFile(context);
  if (!chosen) return;
  context.dialogs.Repaint();

  PrinterOperation operation;
  // The file is read before the port opens: a file that cannot be sent whole sends nothing.
  ClearTxBuffer();
  TxBuffer[0] = kLogoCommand;
  const FileRead read = ReadBitmapFile(chosen->name, std::span(TxBuffer + 1, kLogoFileLimit));
  if (read.error != BitmapError::kNone) {
    context.dialogs.Error(BitmapErrorText(read.error, kLogoFileLimit));
    return;
  }
  const StatusCode opened = OpenPort(CurrentPortName, CurrentBaud, Ms(kLoadReadTimeoutMs));
  if (opened != kOk && opened != kAlreadyOpen) {
    context.dialogs.Error(kLogoPortFailed);
    return;
  }
  TxLength = static_cast<std::int32_t>(read.length + 1);
  if (SendTx() == kOk) {
    context.dialogs.Information(kLogoLoaded);
  } else {
    // Part of the file may have gone out: the state query below tells what the printer
    // made of it.
    context.dialogs.Error(kLogoSendFailed);
  }
  if (!ShowLogoState(context.window, commands::QueryInfoByte(commands::kInfoLogoState))) {
    context.dialogs.Information(kPowerCycleAdvice);
  }
  ClosePort();
}

void Button9Click(seams::Context& context) {
  PrinterOperation operation;
  OpenPort(CurrentPortName, CurrentBaud, Ms(kEraseReadTimeoutMs));
  commands::SendFrame(commands::kEraseLogo);
  ShowLogoState(context.window, commands::QueryInfoByte(commands::kInfoLogoState));
  ClosePort();
}

void Button10Click(seams::Context&) { commands::PrintStoredLogo(); }

}  // namespace zelka::graphics
