// A simulated Zelka printer on a pseudo-terminal.
//
// The simulator owns the master side of a pty; the program under test opens the slave by
// its path (PortName()) exactly as it opens a real serial port. It plays one printer:
// - it answers only at its own baud rate: it reads the line settings that the program set
//   on the slave and treats bytes that arrive at another rate as line noise (logged as
//   garbage, never answered), so a search really has to find the rate;
// - it answers only while the program holds the port open (a line with nobody listening
//   loses what is sent): a reply that falls due while the port is closed, or while the
//   program has set the line to another rate, is dropped, and replies left unread when
//   the program closes the port are discarded as soon as the serving thread runs (a
//   program that reopens and reads before that, within microseconds, may still see them);
// - it parses the whole command set (ESC, GS and US commands, text, raster rows, logo
//   bitmaps, QR frames, the bootloader) without losing sync, and logs every command with
//   the rate it arrived at;
// - a transfer that stops before its end leaves it in its bootloader, where it stays
//   (whatever is sent to it) until a complete transfer ends;
// - faults on demand: silence, late, partial or substituted replies;
// - it prints: each receipt, ended by a cut, becomes a picture at the paper's width
//   (parameter 8: 0 = 80 mm, 1 = 57 mm), kept in memory and, when asked, saved as PNG.
//   Text shows only in a process that has a QGuiApplication (see sim/render/).
//
// Thread-safety: every public member may be called from any thread while the simulator
// runs; the pty is served by a thread of its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "sim/render/receipt_image.h"

namespace zelka::sim {

using Bytes = std::vector<std::uint8_t>;

// What the printer reports and stores. Text replies are the raw reply bytes, exactly as
// long as the program reads them (see the Make*Reply helpers).
struct PrinterState {
  int baud = 57600;
  Bytes modelReply;            // GS I @ 0x27, 17 bytes
  Bytes serialReply;           // GS I @ 0x23, 12 bytes
  Bytes bootNumberReply;       // GS I @ 0x2B, 14 bytes
  Bytes bootVersionReply;      // GS I @ 0x97, 6 bytes
  Bytes mainNumberReply;       // GS I @ 0x33, 14 bytes
  Bytes mainVersionReply;      // GS I @ 0xA3, 6 bytes
  Bytes buildDateReply;        // GS I @ 0x63, 15 bytes
  std::uint8_t paperSensor = 0x00;   // GS r 1: bit 0 set = no paper
  std::uint8_t drawerStatus = 0x01;  // GS r 2: bit 0 set = drawer closed
  std::uint8_t escUReply = 0x01;     // ESC u 0
  std::uint8_t escVReply = 0x00;     // ESC v
  std::uint8_t logoState = 0x00;     // GS I 4: bit 0 set = a logo is stored
  std::uint8_t paramWriteReply = 0x00;  // reply byte to US 0x03 n v
  std::map<std::uint8_t, std::uint8_t> parameters{{8, 0}, {10, 120}, {65, 60}};
  // Parameters this printer does not keep: a write is answered but changes nothing (a
  // model without the setting, or one whose memory fails).
  std::set<std::uint8_t> fixedParameters;
  // What the main firmware reports after the next complete transfer (the firmware it was
  // given); empty: the same as before it.
  Bytes flashedMainNumberReply;
  Bytes flashedMainVersionReply;
};

// A reply of `length` bytes: one header byte 0x5F, then `text`, then zeros. Text longer
// than length - 1 is cut.
Bytes MakeTextReply(const std::string& text, std::size_t length);
// A reply of `length` bytes that starts with `text` at byte 0, then zeros. Text longer
// than length is cut.
Bytes MakeRawTextReply(const std::string& text, std::size_t length);
// A printer that answers every query, identifying itself as "Printer Zelka".
PrinterState DefaultPrinter();

// One parsed command as the printer received it.
struct LogEntry {
  std::string name;    // the command's name, e.g. "GS I @", "US 0x07", "ESC p", "text", "LF"
                       // (all of them in sim/command_parser.h); "garbage" for noise
  Bytes bytes;         // every byte of the command, text included
  int baud = 0;        // the rate the line was set to when it arrived
  bool garbage = false;  // arrived at a rate other than the printer's: noise, not a command
};

struct Fault {
  enum class Kind {
    Silent,   // the command gets no reply
    Late,     // the reply comes after `delay`
    Partial,  // only the first `bytes` bytes of the reply
    Reply,    // `reply` instead of the printer's own reply
    Held,     // the reply waits until ReleaseHeld(): the program stays in its read
  };
  Bytes prefix;   // the fault applies to commands whose bytes start with this prefix
  Kind kind = Kind::Silent;
  std::chrono::milliseconds delay{0};
  std::size_t bytes = 0;
  Bytes reply;
  int times = -1;  // how many matching commands it affects; -1 = all of them
  int after = 0;   // how many matching commands pass untouched before it applies
};
// A fault changes only what goes back on the line: the command still takes effect in the
// printer (a parameter is stored, the bootloader is entered). Faults are tried in the
// order they were added; the first whose prefix matches decides.

class Simulator {
 public:
  Simulator();
  explicit Simulator(PrinterState state);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Creates the pty and starts serving it. False (with a reason) when no pty is to be had.
  bool Start(std::string* error = nullptr);
  // Stops serving and closes the master side: the device vanishes for the program.
  void Stop();
  bool Running() const;

  // The slave's path, which the program opens (e.g. /dev/pts/7).
  std::string PortName() const;

  PrinterState State() const;
  void SetState(const PrinterState& state);
  // Changes the state in place: sim.Update([](PrinterState& s) { s.baud = 9600; });
  template <typename F>
  void Update(F&& change) {
    std::lock_guard lock(mutex_);
    change(state_);
  }

  // Every command answers nothing from now on (a printer switched off). Commands still
  // take effect and are logged; faults are not used up meanwhile.
  void SetSilent(bool silent);
  // Takes bytes off the line no faster than a UART at the printer's rate would (ten bit
  // times a byte), so that a large frame keeps the program's write waiting as a real
  // serial line does. Off by default: the pty then takes everything at once.
  void SetLineSpeedReading(bool on);
  void AddFault(Fault fault);
  void ClearFaults();
  // Sends the replies that Held faults keep back (to a program still listening at their
  // rate, as any reply).
  void ReleaseHeld();

  // The printer waits in its bootloader at the transfer rate, as one does after a
  // transfer that stopped before its end and a restart: it answers the bootloader's
  // commands only, until a complete transfer ends.
  void StrandInBootloader();
  bool InBootloader() const;

  std::vector<LogEntry> Log() const;
  // The log from entry `first` on (empty when the log is shorter), for a reader that
  // follows it as it grows.
  std::vector<LogEntry> LogSince(std::size_t first) const;
  // The log without garbage, as names: {"GS r", "GS I @", ...}.
  std::vector<std::string> CommandNames() const;
  void ClearLog();
  // Waits until the log holds at least `count` entries that are not garbage.
  bool WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const;

  // The firmware image the bootloader accepted: the data of every block whose sum was
  // right, in order, since the last boot entry or start command (01).
  Bytes ReceivedImage() const;

  // The receipts cut so far, oldest first; only the newest kKeptReceipts are kept.
  static constexpr std::size_t kKeptReceipts = 32;
  std::vector<ReceiptImage> Receipts() const;
  void ClearReceipts();
  // Waits until at least `count` receipts were cut since the start or ClearReceipts().
  bool WaitForReceipts(std::size_t count, std::chrono::milliseconds timeout) const;
  // Every later cut also writes its picture to `directory` as receipt-NNN.png, numbered
  // from 001 on; an empty path writes nothing. A file that cannot be written is skipped.
  void SetReceiptDirectory(const std::string& directory);

 private:
  struct Impl;
  mutable std::mutex mutex_;
  PrinterState state_;
  std::unique_ptr<Impl> impl_;
  friend struct Impl;
};

}  // namespace zelka::sim
