#include "sim/command_parser.h"

#include <algorithm>
#include <array>

namespace zelka::sim {
namespace {

namespace name = command_name;

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kUs = 0x1F;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kFirstTextByte = 0x20;
constexpr std::array<std::uint8_t, 6> kBootEntryFrame{0x00, 0x6B, 0x52, 0x5F, 0x75, 0x57};

// ESC commands whose length is the command letter plus a fixed number of arguments.
struct FixedCommand {
  std::uint8_t letter;
  const char* name;
  std::size_t args;
};

constexpr FixedCommand kEscCommands[] = {
    {0x07, name::kEscBeep, 0}, {'!', "ESC !", 1},  {'-', "ESC -", 1},  {'3', "ESC 3", 1},
    {'B', "ESC B", 1},         {'E', "ESC E", 1},  {'I', "ESC I", 1},  {'R', "ESC R", 1},
    {'V', "ESC V", 1},         {'\\', "ESC \\", 2}, {'a', "ESC a", 1}, {'d', "ESC d", 1},
    {'i', "ESC i", 0},         {'m', "ESC m", 0},  {'p', "ESC p", 3},  {'t', "ESC t", 1},
    {'u', name::kEscDrawerStatus, 1}, {'v', name::kEscPaperStatus, 0}, {'{', "ESC {", 1},
};

constexpr FixedCommand kGsCommands[] = {
    {'!', "GS !", 1}, {'/', "GS /", 1}, {'@', name::kGsLogoErase, 1}, {'r', name::kGsStatus, 1},
};

constexpr FixedCommand kUsCommands[] = {
    {0x02, name::kUsSetBaud, 6},
    {0x03, name::kUsWriteParam, 2},
    {0x07, name::kUsReadParam, 1},
    {'t', "US t", 0},
};

using Frame = FrameExtent;
using Stream = std::span<const std::uint8_t>;

constexpr Frame kIncomplete{0, nullptr};
constexpr Frame kUnknownByte{1, name::kUnknown};

// A frame of `length` bytes, or incomplete while fewer are at hand.
Frame Need(Stream v, std::size_t length, const char* frameName) {
  return v.size() >= length ? Frame{length, frameName} : kIncomplete;
}

template <std::size_t N>
Frame MeasureFixed(Stream v, const FixedCommand (&table)[N]) {
  if (v.size() < 2) return kIncomplete;
  const auto* entry = std::find_if(std::begin(table), std::end(table),
                                  [&](const FixedCommand& c) { return c.letter == v[1]; });
  if (entry == std::end(table)) return kUnknownByte;
  return Need(v, 2 + entry->args, entry->name);
}

std::uint32_t LittleEndian32(Stream v, std::size_t at) {
  return static_cast<std::uint32_t>(v[at]) | static_cast<std::uint32_t>(v[at + 1]) << 8 |
         static_cast<std::uint32_t>(v[at + 2]) << 16 | static_cast<std::uint32_t>(v[at + 3]) << 24;
}

// ESC followed by a bitmap file: the file's own size field says where it ends.
Frame MeasureLogo(Stream v) {
  constexpr std::size_t kSizeFieldEnd = 1 + 6;  // command byte, "BM", 4-byte size
  if (v.size() < kSizeFieldEnd) return kIncomplete;
  std::size_t fileBytes = LittleEndian32(v, 3);
  fileBytes = std::clamp<std::size_t>(fileBytes, 6, CommandParser::kMaxLogoFileBytes);
  return Need(v, 1 + fileBytes, name::kLogo);
}

Frame MeasureEsc(Stream v) {
  if (v.size() < 2) return kIncomplete;
  if (v[1] == '.') {
    constexpr std::size_t kHeader = 6;  // 1B 2E 00 R 01 00
    if (v.size() < kHeader) return kIncomplete;
    return Need(v, kHeader + v[3], name::kRasterRow);
  }
  if (v[1] == 'B') {
    if (v.size() < 3) return kIncomplete;
    if (v[2] == 'M') return MeasureLogo(v);
  }
  return MeasureFixed(v, kEscCommands);
}

Frame MeasureGs(Stream v) {
  if (v.size() < 2) return kIncomplete;
  switch (v[1]) {
    case 'I':
      if (v.size() < 3) return kIncomplete;
      return v[2] == 0x40 ? Need(v, 4, name::kGsInfoText) : Frame{3, name::kGsInfoByte};
    case 'V':
      if (v.size() < 3) return kIncomplete;
      return Need(v, v[2] >= 65 ? 4 : 3, "GS V");
    case '(': {
      constexpr std::size_t kHeader = 5;  // 1D 28 fn pL pH
      if (v.size() < kHeader) return kIncomplete;
      const std::size_t payload = v[3] + 256u * v[4];
      return Need(v, kHeader + payload, v[2] == 'k' ? name::kGsQr : "GS (");
    }
    default:
      return MeasureFixed(v, kGsCommands);
  }
}

Frame MeasureBootEntry(Stream v) {
  const std::size_t n = std::min(v.size(), kBootEntryFrame.size());
  if (!std::equal(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n), kBootEntryFrame.begin())) {
    return kUnknownByte;
  }
  return Need(v, kBootEntryFrame.size(), name::kBootEntry);
}

// A command of two bytes whose second byte must be `second`; a lone first byte otherwise.
Frame MeasurePair(Stream v, std::uint8_t second, const char* pairName) {
  if (v.size() < 2) return kIncomplete;
  return v[1] == second ? Frame{2, pairName} : Frame{1, name::kBlUnknown};
}

}  // namespace

void CommandParser::Feed(std::span<const std::uint8_t> bytes) {
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<ParsedCommand> CommandParser::Next() {
  if (Pending() == 0) return std::nullopt;
  const Frame frame = mode_ == Mode::Normal ? MeasureNormal() : MeasureBootloader();
  if (frame.length == 0) return std::nullopt;
  ParsedCommand command = Take(frame);
  if (command.name == name::kBootEntry) mode_ = Mode::Bootloader;
  if (command.name == name::kBlEnd) mode_ = Mode::Normal;
  return command;
}

std::optional<ParsedCommand> CommandParser::FlushText() {
  if (mode_ != Mode::Normal || Pending() == 0 || View()[0] < kFirstTextByte) return std::nullopt;
  const auto v = View();
  const auto end = std::find_if(v.begin(), v.end(), [](std::uint8_t b) { return b < kFirstTextByte; });
  return Take({static_cast<std::size_t>(end - v.begin()), name::kText});
}

void CommandParser::Reset() {
  buffer_.clear();
  head_ = 0;
  textScanned_ = 0;
}

std::vector<ParsedCommand> CommandParser::ParseAll(std::span<const std::uint8_t> bytes, Mode mode) {
  CommandParser parser;
  parser.SetMode(mode);
  parser.Feed(bytes);
  std::vector<ParsedCommand> commands;
  while (auto command = parser.Next()) commands.push_back(std::move(*command));
  if (auto text = parser.FlushText()) commands.push_back(std::move(*text));
  return commands;
}

std::span<const std::uint8_t> CommandParser::View() const {
  return std::span<const std::uint8_t>(buffer_).subspan(head_);
}

FrameExtent CommandParser::MeasureNormal() {
  const auto v = View();
  switch (v[0]) {
    case kEsc: return MeasureEsc(v);
    case kGs: return MeasureGs(v);
    case kUs: return MeasureFixed(v, kUsCommands);
    case kLf: return {1, name::kLineFeed};
    case kCr: return {1, name::kCarriageReturn};
    case 0x00: return MeasureBootEntry(v);
    default: return v[0] < kFirstTextByte ? kUnknownByte : MeasureText();
  }
}

FrameExtent CommandParser::MeasureBootloader() const {
  const auto v = View();
  switch (v[0]) {
    case 0x07: return MeasurePair(v, 0x02, name::kBlSpeed);
    case 0x00: return MeasurePair(v, 0xFE, name::kBlReady);
    case 0x05: return {1, name::kBlEnquiry};
    case 0x01: return {1, name::kBlStart};
    case 0x04: return {1, name::kBlEnd};
    case 0x02: return Need(v, kBlockFrameBytes, name::kBlBlock);
    default: return {1, name::kBlUnknown};
  }
}

FrameExtent CommandParser::MeasureText() {
  const auto v = View();
  while (textScanned_ < v.size() && v[textScanned_] >= kFirstTextByte) ++textScanned_;
  if (textScanned_ == v.size()) return {};  // the run may go on in the next chunk
  return {textScanned_, name::kText};
}

ParsedCommand CommandParser::Take(const FrameExtent& frame) {
  const auto first = buffer_.begin() + static_cast<std::ptrdiff_t>(head_);
  ParsedCommand command{frame.name, {first, first + static_cast<std::ptrdiff_t>(frame.length)}};
  head_ += frame.length;
  textScanned_ = 0;
  // Drop handed-out bytes once they are the larger part, so that a long session neither
  // grows the buffer without end nor moves the tail on every command.
  if (head_ == buffer_.size()) {
    buffer_.clear();
    head_ = 0;
  } else if (head_ > 4096 && head_ * 2 > buffer_.size()) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }
  return command;
}

}  // namespace zelka::sim
