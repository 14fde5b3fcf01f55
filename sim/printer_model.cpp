#include "sim/printer_model.h"

#include <numeric>

namespace zelka::sim {
namespace {

namespace name = command_name;

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kCan = 0x18;
constexpr std::uint8_t kLogoStoredBit = 0x01;

// The info numbers of GS I @ n; any other number is not answered.
const Bytes* InfoTextReply(const PrinterState& state, std::uint8_t n) {
  switch (n) {
    case 0x27: return &state.modelReply;
    case 0x23: return &state.serialReply;
    case 0x2B: return &state.bootNumberReply;
    case 0x97: return &state.bootVersionReply;
    case 0x33: return &state.mainNumberReply;
    case 0xA3: return &state.mainVersionReply;
    case 0x63: return &state.buildDateReply;
    default: return nullptr;
  }
}

// GS r n and GS @ n take the function both as a digit and as its binary value.
bool IsFunction(std::uint8_t n, std::uint8_t function) { return n == function || n == '0' + function; }

Bytes StatusReply(const PrinterState& state, std::uint8_t n) {
  if (IsFunction(n, 1)) return {state.paperSensor};
  if (IsFunction(n, 2)) return {state.drawerStatus};
  return {};
}

Bytes ParameterReply(const PrinterState& state, std::uint8_t n) {
  const auto it = state.parameters.find(n);
  if (it == state.parameters.end()) return {};
  return {it->second};
}

}  // namespace

int BaudOfCode(std::uint8_t code) {
  switch (code) {
    case 0x03: return 9600;
    case 0x04: return 19200;
    case 0x06: return 57600;
    case 0x07: return 115200;
    default: return 0;
  }
}

Bytes PrinterModel::Apply(const ParsedCommand& command, PrinterState& state) {
  return inBootloader_ ? ApplyBootloader(command, state) : ApplyMainFirmware(command, state);
}

int PrinterModel::ListeningBaud(const PrinterState& state) const {
  return inBootloader_ ? bootloaderBaud_ : state.baud;
}

Bytes PrinterModel::ApplyMainFirmware(const ParsedCommand& command, PrinterState& state) {
  const std::string& n = command.name;
  const Bytes& b = command.bytes;
  if (n == name::kGsInfoText) {
    const Bytes* reply = InfoTextReply(state, b[3]);
    return reply ? *reply : Bytes{};
  }
  if (n == name::kGsInfoByte) return b[2] == 0x34 ? Bytes{state.logoState} : Bytes{};
  if (n == name::kGsStatus) return StatusReply(state, b[2]);
  if (n == name::kEscDrawerStatus) return {state.escUReply};
  if (n == name::kEscPaperStatus) return {state.escVReply};
  if (n == name::kUsReadParam) return ParameterReply(state, b[2]);
  if (n == name::kUsWriteParam) {
    if (!state.fixedParameters.contains(b[2])) state.parameters[b[2]] = b[3];
    return {state.paramWriteReply};
  }
  if (n == name::kUsSetBaud) {
    // The new rate applies from the next byte; the frame itself came at the old one.
    if (const int baud = BaudOfCode(b[3])) state.baud = baud;
  } else if (n == name::kGsLogoErase) {
    if (IsFunction(b[2], 1)) state.logoState &= static_cast<std::uint8_t>(~kLogoStoredBit);
  } else if (n == name::kLogo) {
    state.logoState |= kLogoStoredBit;
  } else if (n == name::kBootEntry) {
    inBootloader_ = true;
    bootloaderBaud_ = kBootloaderWakeBaud;
    transferWhole_ = false;
    image_.clear();
    return {kAck};
  }
  return {};
}

Bytes PrinterModel::ApplyBootloader(const ParsedCommand& command, PrinterState& state) {
  const std::string& n = command.name;
  if (n == name::kBlSpeed) {
    bootloaderBaud_ = kBootloaderBaud;
    return {kAck};
  }
  // A new handshake voids a transfer that was under way: it must start again.
  if (n == name::kBlReady) {
    transferWhole_ = false;
    return {kAck};
  }
  if (n == name::kBlStart) {
    image_.clear();
    transferWhole_ = true;
    return {kAck};
  }
  if (n == name::kBlEnquiry) return {kAck, kAck};
  if (n == name::kBlBlock) return AcceptBlock(command.bytes);
  if (n == name::kBlEnd) return EndTransfer(state);
  return {};
}

Bytes PrinterModel::EndTransfer(PrinterState& state) {
  // The flash holds no whole firmware: the bootloader keeps waiting for one.
  if (!transferWhole_ || image_.empty()) return {kCan};
  inBootloader_ = false;
  transferWhole_ = false;
  state.baud = kBootloaderBaud;
  if (!state.flashedMainNumberReply.empty()) state.mainNumberReply = state.flashedMainNumberReply;
  if (!state.flashedMainVersionReply.empty()) state.mainVersionReply = state.flashedMainVersionReply;
  return {kAck};
}

void PrinterModel::Strand() {
  inBootloader_ = true;
  bootloaderBaud_ = kBootloaderBaud;
  transferWhole_ = false;
}

Bytes PrinterModel::AcceptBlock(const Bytes& frame) {
  const auto data = frame.begin() + 1;
  const auto dataEnd = data + CommandParser::kBlockDataBytes;
  const auto sum = static_cast<std::uint8_t>(std::accumulate(data, dataEnd, 0u));
  if (sum != frame.back()) {
    transferWhole_ = false;
    return {kNak};
  }
  image_.insert(image_.end(), data, dataEnd);
  return {kAck};
}

}  // namespace zelka::sim
