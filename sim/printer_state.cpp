// The replies and stored values of a printer fresh from the factory.
#include <algorithm>

#include "sim/simulator.h"

namespace zelka::sim {
namespace {

constexpr std::uint8_t kTextReplyHeader = 0x5F;

// Reply lengths as the program reads them.
constexpr std::size_t kModelReplyBytes = 17;
constexpr std::size_t kSerialReplyBytes = 12;
constexpr std::size_t kFirmwareNumberReplyBytes = 14;
constexpr std::size_t kFirmwareVersionReplyBytes = 6;
constexpr std::size_t kBuildDateReplyBytes = 15;
// The program shows the build date's first 14 bytes; the printer's clock text is longer.
constexpr std::size_t kBuildDateShownChars = 14;

}  // namespace

Bytes MakeTextReply(const std::string& text, std::size_t length) {
  if (length == 0) return {};
  Bytes reply(length, 0x00);
  reply[0] = kTextReplyHeader;
  const std::size_t n = std::min(text.size(), length - 1);
  std::copy_n(text.begin(), n, reply.begin() + 1);
  return reply;
}

Bytes MakeRawTextReply(const std::string& text, std::size_t length) {
  Bytes reply(length, 0x00);
  std::copy_n(text.begin(), std::min(text.size(), length), reply.begin());
  return reply;
}

PrinterState DefaultPrinter() {
  PrinterState s;
  s.baud = 57600;
  s.modelReply = MakeTextReply("Printer Zelka", kModelReplyBytes);
  s.serialReply = MakeTextReply("ZK00012345", kSerialReplyBytes);
  s.bootNumberReply = MakeTextReply("ZELKA-000001", kFirmwareNumberReplyBytes);
  s.bootVersionReply = MakeTextReply("1.05", kFirmwareVersionReplyBytes);
  s.mainNumberReply = MakeTextReply("ZELKA-000101", kFirmwareNumberReplyBytes);
  s.mainVersionReply = MakeTextReply("2.10", kFirmwareVersionReplyBytes);
  s.buildDateReply = MakeRawTextReply(std::string("2026-11-03 12:00").substr(0, kBuildDateShownChars),
                                      kBuildDateReplyBytes);
  return s;
}

}  // namespace zelka::sim
