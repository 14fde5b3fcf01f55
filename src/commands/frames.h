// The printer's fixed command frames and the lengths of their replies.
//
// ESC/POS-style: ESC (0x1B), GS (0x1D) and the maker's prefix US (0x1F), then command
// letters and parameter bytes, sent raw: no framing, checksum or terminator of our own.
#pragma once

#include <array>
#include <cstdint>

namespace zelka::commands {

using Byte = std::uint8_t;

inline constexpr Byte kEsc = 0x1B;
inline constexpr Byte kGs = 0x1D;
inline constexpr Byte kUs = 0x1F;
inline constexpr Byte kLf = 0x0A;
inline constexpr Byte kCr = 0x0D;

// GS I @ n: text information query; n selects the text.
inline constexpr std::array<Byte, 3> kInfoTextQueryHead = {kGs, 0x49, 0x40};
inline constexpr Byte kInfoSerialNumber = 0x23;
inline constexpr Byte kInfoModelName = 0x27;
inline constexpr Byte kInfoBootFirmwareNumber = 0x2B;
inline constexpr Byte kInfoMainFirmwareNumber = 0x33;
inline constexpr Byte kInfoBuildDate = 0x63;
inline constexpr Byte kInfoBootFirmwareVersion = 0x97;
inline constexpr Byte kInfoMainFirmwareVersion = 0xA3;

// Reply lengths of the text queries.
inline constexpr int kModelNameReplyLength = 17;
inline constexpr int kSerialNumberReplyLength = 12;
inline constexpr int kFirmwareNumberReplyLength = 14;
inline constexpr int kFirmwareVersionReplyLength = 6;
inline constexpr int kBuildDateReplyLength = 15;

inline constexpr Byte kInfoLogoState = 0x34;        // GS I 4: bit 0 set = a logo is stored
inline constexpr Byte kStatusPaperSensor = 0x31;    // GS r 1: bit 0 set = no paper
inline constexpr Byte kStatusDrawer = 0x32;         // GS r 2: bit 0 set = drawer closed
inline constexpr Byte kDrawerStatusFailure = 0xFF;  // ESC u 0 reply that means "unknown"

// Printer parameters behind US 0x07 (read) and US 0x03 (write).
inline constexpr Byte kParamPaperWidth = 0x08;  // 0 = 80 mm, 1 = 57 mm
inline constexpr Byte kParamCutLine = 0x0A;     // 100 + cut-line position (0..50)
inline constexpr Byte kParamDensity = 0x41;     // print density, 20..100

inline constexpr std::array<Byte, 1> kFeedOneLine = {kLf};              // LF: feed one line
inline constexpr std::array<Byte, 3> kPrintStoredLogo = {kGs, 0x2F, 0x00};  // GS / 0
inline constexpr std::array<Byte, 5> kKickDrawer = {kEsc, 0x70, 0x30, 0x96, 0x96};  // ESC p 0 150 150
inline constexpr std::array<Byte, 2> kSoundBeep = {kEsc, 0x07};         // ESC BEL: signal
inline constexpr std::array<Byte, 2> kRunSelfTest = {kUs, 0x74};        // US t: self-test
inline constexpr std::array<Byte, 2> kCutPaperEscM = {kEsc, 0x6D};      // ESC m: cut
inline constexpr std::array<Byte, 2> kCutPaper = {kEsc, 0x69};          // ESC i: cut
inline constexpr std::array<Byte, 3> kSelectCodePage866 = {kEsc, 0x52, 0x07};  // ESC R 7
inline constexpr std::array<Byte, 3> kEraseLogo = {kGs, 0x40, 0x31};    // GS @ 1: erase logo
inline constexpr std::array<Byte, 2> kQueryPaperStatus = {kEsc, 0x76};  // ESC v
// GS r 1: the paper sensor, answered by one byte; the search's probe.
inline constexpr std::array<Byte, 3> kQueryPaperSensor = {kGs, 0x72, kStatusPaperSensor};

// US 0x02 00 c 00 00 03 00: the printer's new baud rate, c from BaudCode().
inline constexpr int kSetBaudRateLength = 8;
inline constexpr int kSetBaudRateCodeIndex = 3;
inline constexpr std::array<Byte, kSetBaudRateLength> kSetPrinterBaudRate = {
    kUs, 0x02, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00};

// The code of a baud rate in the set-rate frame; an unknown rate gets 57600's code.
constexpr Byte BaudCode(int baud) {
  switch (baud) {
    case 9600: return 0x03;
    case 19200: return 0x04;
    case 115200: return 0x07;
    default: return 0x06;
  }
}

}  // namespace zelka::commands
