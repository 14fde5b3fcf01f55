#include "commands/catalogue.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "link/link_lock.h"
#include "seams/sleeper.h"

namespace zelka::commands {

using namespace zelka::link;

namespace {

constexpr int kOneShotReadTimeoutMs = 500;
constexpr int kKickDrawerReadTimeoutMs = 1000;
// The drawer's solenoid needs the time before the printer is asked anything else.
constexpr std::chrono::milliseconds kAfterKickPause{300};

StatusCode Send(std::initializer_list<Byte> frame) {
  std::copy(frame.begin(), frame.end(), TxBuffer);
  TxLength = static_cast<std::int32_t>(frame.size());
  return SendTx();
}

StatusCode Exchange(std::initializer_list<Byte> frame, std::int32_t replyLength) {
  Send(frame);
  return ReceiveRx(replyLength);
}

// GS I @ n, then `replyLength` bytes; the text is `windowLength` bytes from reply byte
// `first`, up to the first zero byte. The window's last place is always a terminator
// except for the build date, whose window is read whole from byte 0.
StatusCode TextQuery(Byte n, std::int32_t replyLength, int first, int windowLength,
                     std::string& text) {
  if (Exchange({kGs, 0x49, 0x40, n}, replyLength) != kOk) return 1;
  char window[17] = {};
  std::memcpy(window, RxBuffer + first, static_cast<std::size_t>(windowLength));
  window[windowLength] = '\0';
  text.assign(window, strnlen(window, static_cast<std::size_t>(windowLength)));
  return kOk;
}

StatusCode OneShot(std::span<const Byte> frame, int readTimeoutMs) {
  PrinterOperation operation;
  OpenPort(CurrentPortName, CurrentBaud, readTimeoutMs);
  SendFrame(frame);
  ClosePort();
  return kOk;
}

}  // namespace

// The model's 16-byte window ends in a terminator: at most reply bytes 1 to 15.
StatusCode QueryModelName(std::string& text) {
  return TextQuery(kInfoModelName, kModelNameReplyLength, 1, 15, text);
}

StatusCode QuerySerialNumber(std::string& text) {
  return TextQuery(kInfoSerialNumber, kSerialNumberReplyLength, 1, 10, text);
}

StatusCode QueryFirmwareNumber(int which, std::string& text) {
  const Byte n = which == kBootFirmware ? kInfoBootFirmwareNumber : kInfoMainFirmwareNumber;
  return TextQuery(n, kFirmwareNumberReplyLength, 1, 12, text);
}

// Reply byte 6 is never received (the reply is 6 bytes), so the text is bytes 1 to 5.
StatusCode QueryFirmwareVersion(int which, std::string& text) {
  const Byte n = which == kBootFirmware ? kInfoBootFirmwareVersion : kInfoMainFirmwareVersion;
  return TextQuery(n, kFirmwareVersionReplyLength, 1, 6, text);
}

// The only text taken from reply byte 0.
StatusCode QueryBuildDate(std::string& text) {
  return TextQuery(kInfoBuildDate, kBuildDateReplyLength, 0, 14, text);
}

StatusCode QueryInfoByte(Byte n) { return Exchange({kGs, 0x49, n}, 1); }

StatusCode QueryStatusByte(Byte n) { return Exchange({kGs, 0x72, n}, 1); }

StatusCode QueryPaperSensor() { return QueryStatusByte(kStatusPaperSensor); }

StatusCode QueryPaperStatus() {
  SendFrame(kQueryPaperStatus);
  return ReceiveRx(1);
}

StatusCode QueryDrawerStatus(Byte n) {
  const StatusCode status = Exchange({kEsc, 0x75, n}, 1);
  if (status == kOk && RxBuffer[0] == kDrawerStatusFailure) return kDrawerStatusUnknown;
  return status;
}

StatusCode ReadPrinterParameter(Byte n) { return Exchange({kUs, 0x07, n}, 1); }

StatusCode WritePrinterParameter(Byte n, Byte v) { return Exchange({kUs, 0x03, n, v}, 1); }

StatusCode FeedLines(Byte n) { return Send({kEsc, 0x64, n}); }

StatusCode CutPaper() { return SendFrame(kCutPaper); }

StatusCode SetCharacterSize(Byte n) { return Send({kGs, 0x21, n}); }

StatusCode SetPrintMode(Byte n) { return Send({kEsc, 0x21, n}); }

StatusCode MoveRelative(Byte nL, Byte nH) { return Send({kEsc, 0x5C, nL, nH}); }

StatusCode SendFrame(std::span<const Byte> frame) {
  const std::size_t length = std::min(frame.size(), kBufferSize);
  std::copy_n(frame.begin(), length, TxBuffer);
  TxLength = static_cast<std::int32_t>(length);
  return SendTx();
}

StatusCode SendParameterWrite(Byte n, Byte v) { return Send({kUs, 0x03, n, v}); }

StatusCode SendPrinterBaudRate(int baud) {
  auto frame = kSetPrinterBaudRate;
  frame[kSetBaudRateCodeIndex] = BaudCode(baud);
  return SendFrame(frame);
}

StatusCode FeedOneLine() { return OneShot(kFeedOneLine, kOneShotReadTimeoutMs); }

StatusCode PrintStoredLogo() { return OneShot(kPrintStoredLogo, kOneShotReadTimeoutMs); }

StatusCode KickDrawer() {
  PrinterOperation operation;
  OneShot(kKickDrawer, kKickDrawerReadTimeoutMs);
  seams::SleepFor(kAfterKickPause);
  return kOk;
}

}  // namespace zelka::commands
