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
// "Are you there": answered kAck, or kReconnect when the program must open the port anew.
inline constexpr std::array<Byte, 2> kReadyFrame = {0x00, 0xFE};
// Enquiry; its two reply bytes carry nothing the program looks at.
inline constexpr std::array<Byte, 1> kEnquiryFrame = {0x05};
// Start of the transfer; the bootloader erases its flash before it answers.
inline constexpr std::array<Byte, 1> kStartFrame = {0x01};
// End of the transfer.
inline constexpr std::array<Byte, 1> kEndFrame = {0x04};

inline constexpr int kBootEntryReplyBytes = 1;
inline constexpr int kSpeedReplyBytes = 1;
inline constexpr int kReadyReplyBytes = 1;
inline constexpr int kEnquiryReplyBytes = 2;
inline constexpr int kStartReplyBytes = 1;
inline constexpr int kBlockReplyBytes = 1;
inline constexpr int kEndReplyBytes = 1;

inline constexpr Byte kAck = 0x06;        // ready / accepted
inline constexpr Byte kReconnect = 0x08;  // reply to 00 FE: close, wait, open again
inline constexpr Byte kNak = 0x15;        // a block refused: the transfer ends
inline constexpr Byte kCan = 0x18;        // a block or the end cancelled by the printer

// Data block: STX, 256 image bytes (0xFF past the image's end), the sum of those 256.
inline constexpr Byte kBlockStart = 0x02;
inline constexpr Byte kBlockFill = 0xFF;
inline constexpr std::size_t kBlockDataBytes = 256;
inline constexpr std::size_t kBlockFrameBytes = 1 + kBlockDataBytes + 1;

// The image buffer holds this much; a longer firmware file is refused.
inline constexpr std::size_t kMaxImageBytes = 700000;

// The bootloader's rates: it wakes up at the first and takes the image at the second.
inline constexpr std::int32_t kBootloaderWakeBaud = 19200;
inline constexpr std::int32_t kBootloaderBaud = 57600;

// Read time-outs: the handshake answers at once; after the speed command the bootloader
// may erase flash or write a block before it answers.
inline constexpr std::chrono::milliseconds kHandshakeReadTimeoutMs{2000};
inline constexpr std::chrono::milliseconds kTransferReadTimeoutMs{8000};

// Waits the bootloader needs: to start after the boot entry, to change its rate after the
// speed command, before a reconnection, between the speed command and reopening, after
// the start command, before the first block and before the end.
inline constexpr std::chrono::milliseconds kBootloaderStartWaitMs{3000};
inline constexpr std::chrono::milliseconds kSpeedChangeWaitMs{3000};
inline constexpr std::chrono::milliseconds kReconnectWaitMs{5000};
inline constexpr std::chrono::milliseconds kReopenWaitMs{1000};
inline constexpr std::chrono::milliseconds kEraseWaitMs{5000};
inline constexpr std::chrono::milliseconds kBlockPhaseWaitMs{100};

// Results of the bootloader routines; 0 is success.
inline constexpr int kBootOk = 0;
inline constexpr int kNoBootEntryReply = 1;   // EnterBootloader: no reply to the boot entry
inline constexpr int kNoEnquiryReply = 3;     // fewer than 2 bytes in reply to 05
inline constexpr int kNoStartReply = 5;       // no reply to 01
inline constexpr int kStartRefused = 6;       // the reply to 01 is not 0x06
inline constexpr int kNoBlockReply = 7;       // no reply to a data block
inline constexpr int kBlockCancelled = 8;     // CAN in reply to a data block
inline constexpr int kBlockRefused = 9;       // NAK in reply to a data block
inline constexpr int kNoEndReply = 10;        // no reply to 04
inline constexpr int kEndCancelled = 11;      // CAN in reply to 04
inline constexpr int kImageUnreadable = 12;   // the firmware file could not be read whole
inline constexpr int kImageTooLarge = 13;     // the firmware file outgrew the image buffer
inline constexpr int kNoReadyReply = 21;      // no reply to 00 FE
inline constexpr int kReadyRefused = 22;      // the reply to 00 FE is neither 0x06 nor 0x08
inline constexpr int kNoSpeedReply = 31;      // no reply to 07 02

}  // namespace zelka::firmware
