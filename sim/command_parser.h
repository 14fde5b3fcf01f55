// Splits the byte stream that reaches the printer into whole commands.
//
// The parser is incremental: bytes go in with Feed() in chunks of any size, and Next()
// hands out each command once its last byte has arrived. A command cut between two
// chunks waits for the rest, so a stream gives the same commands however it is split.
// The length of every frame follows from its first bytes (a fixed argument count, a
// length byte or field), never from timing.
//
// Two framings exist: the main firmware's command set (Mode::Normal) and the
// bootloader's one-byte commands and data blocks (Mode::Bootloader). The parser follows
// the switch itself: after a "boot entry" it frames bootloader commands, after "BL 04"
// the main command set again.
//
// Names of the commands, as they appear in ParsedCommand::name (and in the simulator's
// log):
//
//   Main command set
//     "ESC BEL" 1B 07            "ESC !"  1B 21 n           "ESC -"  1B 2D n
//     "ESC 3"   1B 33 n          "ESC B"  1B 42 n (n != 'M') "ESC E"  1B 45 n
//     "ESC I"   1B 49 n          "ESC R"  1B 52 n           "ESC V"  1B 56 n
//     "ESC \\"  1B 5C nL nH      "ESC a"  1B 61 n           "ESC d"  1B 64 n
//     "ESC i"   1B 69            "ESC m"  1B 6D             "ESC p"  1B 70 m t1 t2
//     "ESC t"   1B 74 n          "ESC u"  1B 75 n           "ESC v"  1B 76
//     "ESC {"   1B 7B n
//     "ESC ."   1B 2E 00 R 01 00, then R raster bytes
//     "logo"    1B, then a whole bitmap file "BM...": its length is the file size stored
//               in the file's bytes 2..5 (little-endian), so the frame is 1B 42 4D ...
//     "GS !"    1D 21 n          "GS /"   1D 2F m           "GS @"   1D 40 n
//     "GS I @"  1D 49 40 n       "GS I"   1D 49 n (n != 0x40)
//     "GS V"    1D 56 m, one more byte n when m >= 65
//     "GS r"    1D 72 n
//     "GS ( k"  1D 28 6B pL pH, then pL + 256 * pH bytes (any other function letter
//               after "GS (" has the same shape and is named "GS (")
//     "US 0x02" 1F 02 + 6 bytes  "US 0x03" 1F 03 n v        "US 0x07" 1F 07 n
//     "US t"    1F 74
//     "LF" 0A, "CR" 0D
//     "text"    a run of bytes >= 0x20, ended by (and not including) any byte below 0x20
//     "boot entry" 00 6B 52 5F 75 57
//     "unknown" one byte that starts no known command: a control byte of its own, or the
//               ESC/GS/US/00 of a sequence that is not a command. Parsing goes on with
//               the next byte, so a stray byte never swallows the command after it.
//   Bootloader
//     "BL 07 02", "BL 00 FE", "BL 05", "BL 01", "BL 04" (the bytes of the name)
//     "BL block"   02, 256 data bytes, 1 sum byte
//     "BL unknown" any other byte
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zelka::sim {

using Bytes = std::vector<std::uint8_t>;  // the same as in simulator.h

namespace command_name {
inline constexpr char kEscBeep[] = "ESC BEL";
inline constexpr char kEscDrawerStatus[] = "ESC u";
inline constexpr char kEscPaperStatus[] = "ESC v";
inline constexpr char kRasterRow[] = "ESC .";
inline constexpr char kLogo[] = "logo";
inline constexpr char kGsInfoText[] = "GS I @";
inline constexpr char kGsInfoByte[] = "GS I";
inline constexpr char kGsStatus[] = "GS r";
inline constexpr char kGsLogoErase[] = "GS @";
inline constexpr char kGsQr[] = "GS ( k";
inline constexpr char kUsSetBaud[] = "US 0x02";
inline constexpr char kUsWriteParam[] = "US 0x03";
inline constexpr char kUsReadParam[] = "US 0x07";
inline constexpr char kLineFeed[] = "LF";
inline constexpr char kCarriageReturn[] = "CR";
inline constexpr char kText[] = "text";
inline constexpr char kBootEntry[] = "boot entry";
inline constexpr char kUnknown[] = "unknown";
inline constexpr char kBlSpeed[] = "BL 07 02";
inline constexpr char kBlReady[] = "BL 00 FE";
inline constexpr char kBlEnquiry[] = "BL 05";
inline constexpr char kBlStart[] = "BL 01";
inline constexpr char kBlBlock[] = "BL block";
inline constexpr char kBlEnd[] = "BL 04";
inline constexpr char kBlUnknown[] = "BL unknown";
}  // namespace command_name

// Where the command at the head of the stream ends; length 0 while it is not complete.
struct FrameExtent {
  std::size_t length = 0;
  const char* name = nullptr;
};

struct ParsedCommand {
  std::string name;  // one of the names above
  Bytes bytes;       // every byte of the command

  bool operator==(const ParsedCommand&) const = default;
};

class CommandParser {
 public:
  enum class Mode { Normal, Bootloader };

  // The bootloader's data block: STX, the data, one sum byte.
  static constexpr std::size_t kBlockDataBytes = 256;
  static constexpr std::size_t kBlockFrameBytes = 1 + kBlockDataBytes + 1;
  // A logo file longer than the program's transmit buffer can hold behind the command
  // byte cannot arrive whole; a size field above it is taken as this much, so that a
  // corrupt header costs at most one buffer's worth of stream instead of all of it.
  static constexpr std::size_t kMaxLogoFileBytes = 740959;

  void Feed(std::span<const std::uint8_t> bytes);
  // The next whole command, or nothing while the bytes at hand end inside one.
  std::optional<ParsedCommand> Next();
  // A text run is complete only when the byte after it arrives. When the line goes
  // quiet for good (the port was closed), the run at hand is taken as it stands.
  std::optional<ParsedCommand> FlushText();

  Mode CurrentMode() const { return mode_; }
  void SetMode(Mode mode) { mode_ = mode; }
  // Bytes received that belong to no command yet.
  std::size_t Pending() const { return buffer_.size() - head_; }
  // Forgets the bytes of an unfinished command.
  void Reset();

  // Every command of a byte stream, for callers that have the stream whole.
  static std::vector<ParsedCommand> ParseAll(std::span<const std::uint8_t> bytes,
                                             Mode mode = Mode::Normal);

 private:
  std::span<const std::uint8_t> View() const;
  FrameExtent MeasureNormal();
  FrameExtent MeasureBootloader() const;
  FrameExtent MeasureText();
  ParsedCommand Take(const FrameExtent& frame);

  Mode mode_ = Mode::Normal;
  Bytes buffer_;
  std::size_t head_ = 0;         // first byte not yet handed out
  std::size_t textScanned_ = 0;  // text bytes after head_ already known, to scan each once
};

}  // namespace zelka::sim
