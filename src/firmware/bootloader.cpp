#include "firmware/bootloader.h"

#include <span>

#include "firmware/data_block.h"
#include "link/serial_link.h"

namespace zelka::firmware {
namespace {

using link::SerialLink;

// Closes the printer's port when a routine ends, however it ends.
class ClosingPort {
 public:
  explicit ClosingPort(printer::Session& session) : session_(session) {}
  ~ClosingPort() { session_.Link().Close(); }
  ClosingPort(const ClosingPort&) = delete;
  ClosingPort& operator=(const ClosingPort&) = delete;

 private:
  printer::Session& session_;
};

// The status of the open is not looked at: a port that did not open makes the read that
// follows fail, and that read's code says which step found no printer.
void Open(printer::Session& session, int baud, std::chrono::milliseconds readTimeout) {
  session.OpenAt(session.Port(), baud, readTimeout);
}

bool Exchange(SerialLink& link, std::span<const Byte> frame, std::size_t replyBytes) {
  link.Send(frame);
  return link.Receive(replyBytes) == link::Status::kOk;
}

Reply FirstReplyByte(const SerialLink& link) { return static_cast<Reply>(link.RxByte(0)); }

BootStatus ImageFault(const FirmwareImage& image) {
  if (image.bytes.empty()) return BootStatus::kImageUnreadable;
  if (image.bytes.size() > kMaxImageBytes) return BootStatus::kImageTooLarge;
  return BootStatus::kOk;
}

// 00 FE and the enquiry, at the transfer rate. A bootloader that answers 00 FE with 0x08
// wants the port opened anew; it is taken as ready then, without another 00 FE.
BootStatus Handshake(printer::Session& session) {
  Open(session, kBootloaderBaud, kHandshakeReadTimeout);
  if (!Exchange(session.Link(), kReadyFrame, kReadyReplyBytes)) return BootStatus::kNoReadyReply;
  Reply reply = FirstReplyByte(session.Link());
  if (reply == Reply::kReconnect) {
    session.Link().Close();
    session.Sleep(kReconnectWait);
    Open(session, kBootloaderBaud, kHandshakeReadTimeout);
    reply = Reply::kAck;
  }
  if (reply != Reply::kAck) return BootStatus::kReadyRefused;
  return BootloaderEnquiry(session);
}

// The speed command once more, then the port anew with the long read time-out of the
// transfer: from here the bootloader may be busy with its flash before it answers.
BootStatus ReopenForTransfer(printer::Session& session) {
  if (!Exchange(session.Link(), kSpeedFrame, kSpeedReplyBytes)) return BootStatus::kNoSpeedReply;
  // The bootloader speaks at the transfer rate from now on, whether or not the port
  // opens again.
  session.SetBaud(kBootloaderBaud);
  session.Link().Close();
  session.Sleep(kReopenWait);
  Open(session, kBootloaderBaud, kTransferReadTimeout);
  return BootloaderEnquiry(session);
}

// The start command is answered only once the flash is erased.
BootStatus StartTransfer(printer::Session& session) {
  SerialLink& link = session.Link();
  link.Send(kStartFrame);
  session.Sleep(kEraseWait);
  if (link.Receive(kStartReplyBytes) != link::Status::kOk) return BootStatus::kNoStartReply;
  if (FirstReplyByte(link) != Reply::kAck) return BootStatus::kStartRefused;
  session.Sleep(kBlockPhaseWait);
  return BootStatus::kOk;
}

// Blocks follow each other without a pause; any reply but CAN and NAK accepts a block.
// Each block is built in the transmit buffer itself: no copy of 258 bytes per block.
BootStatus SendBlocks(printer::Session& session, std::span<const Byte> image,
                      const BlockProgress& progress) {
  SerialLink& link = session.Link();
  const std::size_t count = BlockCount(image.size());
  const std::span<Byte, kBlockFrameBytes> frame = link.TxBuffer().first<kBlockFrameBytes>();
  for (std::size_t index = 0; index < count; ++index) {
    if (session.Cancelled()) return BootStatus::kCancelled;
    BuildDataBlock(image, index, frame);
    link.SendTx(kBlockFrameBytes);
    if (progress) progress(index + 1, count);
    if (link.Receive(kBlockReplyBytes) != link::Status::kOk) return BootStatus::kNoBlockReply;
    const Reply reply = FirstReplyByte(link);
    if (reply == Reply::kCan) return BootStatus::kBlockCancelled;
    if (reply == Reply::kNak) return BootStatus::kBlockRefused;
  }
  return BootStatus::kOk;
}

BootStatus EndTransfer(printer::Session& session) {
  session.Sleep(kBlockPhaseWait);
  if (!Exchange(session.Link(), kEndFrame, kEndReplyBytes)) return BootStatus::kNoEndReply;
  if (FirstReplyByte(session.Link()) == Reply::kCan) return BootStatus::kEndCancelled;
  return BootStatus::kOk;
}

BootStatus RunTransfer(printer::Session& session, const FirmwareImage& image,
                       const BlockProgress& progress) {
  if (const BootStatus status = Handshake(session); status != BootStatus::kOk) return status;
  if (const BootStatus status = ReopenForTransfer(session); status != BootStatus::kOk) return status;
  if (const BootStatus status = StartTransfer(session); status != BootStatus::kOk) return status;
  if (const BootStatus status = SendBlocks(session, image.bytes, progress);
      status != BootStatus::kOk) {
    return status;
  }
  return EndTransfer(session);
}

}  // namespace

BootStatus EnterBootloader(printer::Session& session) {
  const ClosingPort closing(session);
  // The printer still runs its main firmware, at the rate it was found at.
  Open(session, session.Baud(), kHandshakeReadTimeout);
  const bool answered = Exchange(session.Link(), kBootEntryFrame, kBootEntryReplyBytes);
  // Closed while the bootloader starts: it wakes up at a rate of its own.
  session.Link().Close();
  if (!answered) return BootStatus::kNoBootEntryReply;
  session.Sleep(kBootloaderStartWait);
  return BootStatus::kOk;
}

BootStatus SetBootloaderSpeed(printer::Session& session) {
  const ClosingPort closing(session);
  Open(session, kBootloaderWakeBaud, kHandshakeReadTimeout);
  const bool answered = Exchange(session.Link(), kSpeedFrame, kSpeedReplyBytes);
  session.Link().Close();
  if (!answered) return BootStatus::kNoSpeedReply;
  session.Sleep(kSpeedChangeWait);
  return BootStatus::kOk;
}

BootStatus BootloaderEnquiry(printer::Session& session) {
  return Exchange(session.Link(), kEnquiryFrame, kEnquiryReplyBytes) ? BootStatus::kOk
                                                                     : BootStatus::kNoEnquiryReply;
}

BootStatus TransferFirmware(printer::Session& session, const FirmwareImage& image,
                            const BlockProgress& progress) {
  // Checked before the start command erases the flash: an image the flash cannot take,
  // or none at all, must not leave the printer without firmware.
  if (const BootStatus fault = ImageFault(image); fault != BootStatus::kOk) return fault;
  if (session.Cancelled()) return BootStatus::kCancelled;
  const ClosingPort closing(session);
  return RunTransfer(session, image, progress);
}

}  // namespace zelka::firmware
