#include "commands/catalogue.h"

#include <array>
#include <cstring>

namespace zelka::commands {

namespace {

Status Send(SerialLink& link, std::initializer_list<Byte> frame) {
  return link.Send(std::span<const Byte>(frame.begin(), frame.size()));
}

// A frame that did not go out whole gets no answer worth waiting for.
std::optional<Byte> ByteQuery(SerialLink& link, std::initializer_list<Byte> frame) {
  if (Send(link, frame) != Status::kOk) return std::nullopt;
  if (link.Receive(1) != Status::kOk) return std::nullopt;
  return link.RxByte(0);
}

// GS I @ n, then `replyLength` bytes; the text is `windowLength` bytes from reply byte
// `first`, up to the first zero byte. The window's last place is always a terminator
// except for the build date, whose window is read whole from byte 0.
std::optional<std::string> TextQuery(SerialLink& link, Byte n, std::size_t replyLength,
                                     std::size_t first, std::size_t windowLength) {
  if (Send(link, {kGs, 0x49, 0x40, n}) != Status::kOk) return std::nullopt;
  if (link.Receive(replyLength) != Status::kOk) return std::nullopt;
  std::array<char, 17> window{};
  std::memcpy(window.data(), link.Rx().data() + first, windowLength);
  return std::string(window.data(), strnlen(window.data(), windowLength));
}

}  // namespace

// The model's 16-byte window ends in a terminator: at most reply bytes 1 to 15.
std::optional<std::string> QueryModelName(SerialLink& link) {
  return TextQuery(link, kInfoModelName, kModelNameReplyLength, 1, 15);
}

std::optional<std::string> QuerySerialNumber(SerialLink& link) {
  return TextQuery(link, kInfoSerialNumber, kSerialNumberReplyLength, 1, 10);
}

std::optional<std::string> QueryFirmwareNumber(SerialLink& link, Firmware which) {
  const Byte n = which == Firmware::kBoot ? kInfoBootFirmwareNumber : kInfoMainFirmwareNumber;
  return TextQuery(link, n, kFirmwareNumberReplyLength, 1, 12);
}

// Reply byte 6 is never received (the reply is 6 bytes), so the text is bytes 1 to 5.
std::optional<std::string> QueryFirmwareVersion(SerialLink& link, Firmware which) {
  const Byte n = which == Firmware::kBoot ? kInfoBootFirmwareVersion : kInfoMainFirmwareVersion;
  return TextQuery(link, n, kFirmwareVersionReplyLength, 1, 6);
}

// The only text taken from reply byte 0.
std::optional<std::string> QueryBuildDate(SerialLink& link) {
  return TextQuery(link, kInfoBuildDate, kBuildDateReplyLength, 0, 14);
}

std::optional<Byte> QueryInfoByte(SerialLink& link, Byte n) { return ByteQuery(link, {kGs, 0x49, n}); }

std::optional<Byte> QueryStatusByte(SerialLink& link, Byte n) {
  return ByteQuery(link, {kGs, 0x72, n});
}

std::optional<Byte> QueryPaperSensor(SerialLink& link) {
  return QueryStatusByte(link, kStatusPaperSensor);
}

std::optional<Byte> QueryPaperStatus(SerialLink& link) {
  return ByteQuery(link, {kQueryPaperStatus[0], kQueryPaperStatus[1]});
}

std::optional<Byte> QueryDrawerStatus(SerialLink& link, Byte n) {
  const auto reply = ByteQuery(link, {kEsc, 0x75, n});
  if (reply == kDrawerStatusFailure) return std::nullopt;
  return reply;
}

std::optional<Byte> ReadPrinterParameter(SerialLink& link, Byte n) {
  return ByteQuery(link, {kUs, 0x07, n});
}

std::optional<Byte> WritePrinterParameter(SerialLink& link, Byte n, Byte v) {
  return ByteQuery(link, {kUs, 0x03, n, v});
}

Status FeedLines(SerialLink& link, Byte n) { return Send(link, {kEsc, 0x64, n}); }

Status CutPaper(SerialLink& link) { return link.Send(kCutPaper); }

Status SetCharacterSize(SerialLink& link, Byte n) { return Send(link, {kGs, 0x21, n}); }

Status SetPrintMode(SerialLink& link, Byte n) { return Send(link, {kEsc, 0x21, n}); }

Status MoveRelative(SerialLink& link, Byte nL, Byte nH) { return Send(link, {kEsc, 0x5C, nL, nH}); }

Status SendParameterWrite(SerialLink& link, Byte n, Byte v) { return Send(link, {kUs, 0x03, n, v}); }

Status SendPrinterBaudRate(SerialLink& link, int baud) {
  auto frame = kSetPrinterBaudRate;
  frame[kSetBaudRateCodeIndex] = BaudCode(baud);
  return link.Send(frame);
}

}  // namespace zelka::commands
