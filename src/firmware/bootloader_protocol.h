// The printer's bootloader protocol: one-byte commands with one- or two-byte replies, then
// the image in blocks of 256 bytes, each with a one-byte sum and answered by one byte.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace zelka::firmware {

using Byte = std::uint8_t;

// 0x00, then the boot-entry code "kR_uW": the main firmware hands over to its bootloader.
inline constexpr std::array<Byte, 6> kBootEntryFrame = {0x00, 0x6B, 0x52, 0x5F, 0x75, 0x57};
// The speed command: the bootloader moves from its wake-up rate to the transfer rate.
inline constexpr std::array<Byte, 2> kSpeedFrame = {0x07, 0x02};
// "Are you there": answered Reply::kAck, or Reply::kReconnect when the program must open
// the port anew.
inline constexpr std::array<Byte, 2> kReadyFrame = {0x00, 0xFE};
// Enquiry; its two reply bytes carry nothing the program looks at.
inline constexpr std::array<Byte, 1> kEnquiryFrame = {0x05};
// Start of the transfer; the bootloader erases its flash before it answers.
inline constexpr std::array<Byte, 1> kStartFrame = {0x01};
// End of the transfer.
inline constexpr std::array<Byte, 1> kEndFrame = {0x04};

inline constexpr std::size_t kBootEntryReplyBytes = 1;
inline constexpr std::size_t kSpeedReplyBytes = 1;
inline constexpr std::size_t kReadyReplyBytes = 1;
inline constexpr std::size_t kEnquiryReplyBytes = 2;
inline constexpr std::size_t kStartReplyBytes = 1;
inline constexpr std::size_t kBlockReplyBytes = 1;
inline constexpr std::size_t kEndReplyBytes = 1;

// The one-byte replies the program tells apart; any other byte is "none of these".
enum class Reply : Byte {
  kAck = 0x06,        // ready / accepted
  kReconnect = 0x08,  // reply to 00 FE: close, wait, open again
  kNak = 0x15,        // a block refused: the transfer ends
  kCan = 0x18,        // a block or the end cancelled by the printer
};

// Data block: STX, 256 image bytes (0xFF past the image's end), the sum of those 256.
inline constexpr Byte kBlockStart = 0x02;
inline constexpr Byte kBlockFill = 0xFF;
inline constexpr std::size_t kBlockDataBytes = 256;
inline constexpr std::size_t kBlockFrameBytes = 1 + kBlockDataBytes + 1;

// The bootloader's flash takes at most this much; a longer firmware file is refused.
inline constexpr std::size_t kMaxImageBytes = 700000;

// The bootloader's rates: it wakes up at the first and takes the image at the second.
inline constexpr int kBootloaderWakeBaud = 19200;
inline constexpr int kBootloaderBaud = 57600;

// Read time-outs: the handshake answers at once; after the speed command the bootloader
// may erase flash or write a block before it answers.
inline constexpr std::chrono::milliseconds kHandshakeReadTimeout{2000};
inline constexpr std::chrono::milliseconds kTransferReadTimeout{8000};

// Waits the bootloader needs: to start after the boot entry, to change its rate after the
// speed command, before a reconnection, between the speed command and reopening, after
// the start command, before the first block and before the end.
inline constexpr std::chrono::milliseconds kBootloaderStartWait{3000};
inline constexpr std::chrono::milliseconds kSpeedChangeWait{3000};
inline constexpr std::chrono::milliseconds kReconnectWait{5000};
inline constexpr std::chrono::milliseconds kReopenWait{1000};
inline constexpr std::chrono::milliseconds kEraseWait{5000};
inline constexpr std::chrono::milliseconds kBlockPhaseWait{100};

// Results of the bootloader routines. The numbers are those users quote from the
// messages ("Ошибка N: 12") and must never change.
enum class BootStatus : int {
  kOk = 0,
  kNoBootEntryReply = 1,  // EnterBootloader: no reply to the boot entry
  kNoEnquiryReply = 3,    // fewer than 2 bytes in reply to 05
  kNoStartReply = 5,      // no reply to 01
  kStartRefused = 6,      // the reply to 01 is not 0x06
  kNoBlockReply = 7,      // no reply to a data block
  kBlockCancelled = 8,    // CAN in reply to a data block (the printer gave up)
  kBlockRefused = 9,      // NAK in reply to a data block
  kNoEndReply = 10,       // no reply to 04
  kEndCancelled = 11,     // CAN in reply to 04
  kImageUnreadable = 12,  // no image to flash: the file could not be read whole, or is empty
  kImageTooLarge = 13,    // the image is longer than kMaxImageBytes
  kCancelled = 14,        // the program is ending: the transfer stopped between blocks
  kNoReadyReply = 21,     // no reply to 00 FE
  kReadyRefused = 22,     // the reply to 00 FE is neither 0x06 nor 0x08
  kNoSpeedReply = 31,     // no reply to 07 02
};

// The number the messages show.
constexpr int Code(BootStatus status) { return static_cast<int>(status); }

}  // namespace zelka::firmware
