#include "firmware/bootloader.h"

#include <algorithm>
#include <span>
#include <vector>

#include "firmware/data_block.h"
#include "firmware/firmware_file.h"
#include "link/link_lock.h"
#include "link/serial_link.h"
#include "seams/sleeper.h"

namespace zelka::firmware {

using link::ClosePort;
using link::CurrentBaud;
using link::CurrentPortName;
using link::OpenPort;
using link::PrinterOperation;
using link::ReceiveRx;
using link::RxBuffer;

namespace {

// The status of OpenPort is not looked at: a port that did not open makes the read that
// follows fail, and that read's code says which step found no printer.
void Open(std::int32_t baud, std::chrono::milliseconds readTimeout) {
  OpenPort(CurrentPortName, baud, static_cast<int>(readTimeout.count()));
}

// A write that fails shows up as the failure of the read that follows it.
void Send(std::span<const Byte> frame) {
  std::copy(frame.begin(), frame.end(), link::TxBuffer);
  link::TxLength = static_cast<std::int32_t>(frame.size());
  link::SendTx();
}

bool Exchange(std::span<const Byte> frame, int replyBytes) {
  Send(frame);
  return ReceiveRx(replyBytes) == link::kOk;
}

// 00 FE and the enquiry, at the transfer rate. A bootloader that answers 00 FE with 0x08
// wants the port opened anew; it is taken as ready then, without another 00 FE.
int Handshake() {
  Open(kBootloaderBaud, kHandshakeReadTimeoutMs);
  if (!Exchange(kReadyFrame, kReadyReplyBytes)) return kNoReadyReply;
  Byte reply = RxBuffer[0];
  if (reply == kReconnect) {
    ClosePort();
    seams::SleepFor(kReconnectWaitMs);
    Open(kBootloaderBaud, kHandshakeReadTimeoutMs);
    reply = kAck;
  }
  if (reply != kAck) return kReadyRefused;
  return BootloaderEnquiry();
}

int LoadImage(const std::string& path, std::vector<Byte>& image) {
  image.reserve(kMaxImageBytes);
  switch (ReadImage(PathFromUtf8(path), kMaxImageBytes, image)) {
    case ImageRead::Ok: return kBootOk;
    case ImageRead::TooLarge: return kImageTooLarge;
    case ImageRead::Unreadable: break;
  }
  return kImageUnreadable;
}

// The speed command once more, then the port anew with the long read time-out of the
// transfer: from here the bootloader may be busy with its flash before it answers.
int ReopenForTransfer() {
  if (!Exchange(kSpeedFrame, kSpeedReplyBytes)) return kNoSpeedReply;
  CurrentBaud = kBootloaderBaud;
  ClosePort();
  seams::SleepFor(kReopenWaitMs);
  Open(CurrentBaud, kTransferReadTimeoutMs);
  return BootloaderEnquiry();
}

// The start command is answered only once the flash is erased.
int StartTransfer() {
  Send(kStartFrame);
  seams::SleepFor(kEraseWaitMs);
  if (ReceiveRx(kStartReplyBytes) != link::kOk) return kNoStartReply;
  if (RxBuffer[0] != kAck) return kStartRefused;
  seams::SleepFor(kBlockPhaseWaitMs);
  return kBootOk;
}

// Blocks follow each other without a pause; any reply but CAN and NAK accepts a block.
int SendBlocks(std::span<const Byte> image, const BlockProgress& progress) {
  const std::size_t count = BlockCount(image.size());
  const std::span<Byte, kBlockFrameBytes> frame(link::TxBuffer, kBlockFrameBytes);
  for (std::size_t index = 0; index < count; ++index) {
    BuildDataBlock(image, index, frame);
    link::TxLength = static_cast<std::int32_t>(kBlockFrameBytes);
    link::SendTx();
    if (progress) progress(index + 1, count);
    if (ReceiveRx(kBlockReplyBytes) != link::kOk) return kNoBlockReply;
    if (RxBuffer[0] == kCan) return kBlockCancelled;
    if (RxBuffer[0] == kNak) return kBlockRefused;
  }
  return kBootOk;
}

int EndTransfer() {
  seams::SleepFor(kBlockPhaseWaitMs);
  if (!Exchange(kEndFrame, kEndReplyBytes)) return kNoEndReply;
  if (RxBuffer[0] == kCan) return kEndCancelled;
  return kBootOk;
}

int RunTransfer(const std::string& path, const BlockProgress& progress) {
  if (const int result = Handshake(); result != kBootOk) return result;
  // Read before the speed command: a file that cannot be read ends the update while the
  // bootloader still waits in its handshake, and no block is built from an unread buffer.
  std::vector<Byte> image;
  if (const int result = LoadImage(path, image); result != kBootOk) return result;
  if (const int result = ReopenForTransfer(); result != kBootOk) return result;
  if (const int result = StartTransfer(); result != kBootOk) return result;
  if (const int result = SendBlocks(image, progress); result != kBootOk) return result;
  return EndTransfer();
}

}  // namespace

int EnterBootloader() {
  PrinterOperation operation;
  // The printer still runs its main firmware, at the rate it was found at.
  Open(CurrentBaud, kHandshakeReadTimeoutMs);
  const bool answered = Exchange(kBootEntryFrame, kBootEntryReplyBytes);
  ClosePort();
  if (!answered) return kNoBootEntryReply;
  seams::SleepFor(kBootloaderStartWaitMs);
  return kBootOk;
}

int SetBootloaderSpeed() {
  PrinterOperation operation;
  Open(kBootloaderWakeBaud, kHandshakeReadTimeoutMs);
  const bool answered = Exchange(kSpeedFrame, kSpeedReplyBytes);
  ClosePort();
  if (!answered) return kNoSpeedReply;
  seams::SleepFor(kSpeedChangeWaitMs);
  return kBootOk;
}

int BootloaderEnquiry() {
  PrinterOperation operation;
  return Exchange(kEnquiryFrame, kEnquiryReplyBytes) ? kBootOk : kNoEnquiryReply;
}

int TransferFirmware(const std::string& path, const BlockProgress& progress) {
  PrinterOperation operation;
  const int result = RunTransfer(path, progress);
  ClosePort();
  return result;
}

}  // namespace zelka::firmware
