// How one Zelka printer acts on the commands it receives: what it answers and what it
// remembers. No I/O and no threads here; the Simulator feeds it whole commands from the
// line and owns the locking.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/command_parser.h"
#include "sim/simulator.h"

namespace zelka::sim {

class PrinterModel {
 public:
  // The rates of the bootloader: it wakes up at the first and moves to the second when
  // told (07 02). The main firmware comes back at the second after the update.
  static constexpr int kBootloaderWakeBaud = 19200;
  static constexpr int kBootloaderBaud = 57600;

  // Acts on one command and returns the printer's own reply (empty: it sends nothing).
  // `state` is the printer's stored state; parameters, logo and rate change in it.
  Bytes Apply(const ParsedCommand& command, PrinterState& state);

  // The only rate at which the printer understands the line at the moment.
  int ListeningBaud(const PrinterState& state) const;
  bool InBootloader() const { return inBootloader_; }
  // In the bootloader at the transfer rate, with no transfer under way: a printer whose
  // last transfer stopped before its end, switched on again.
  void Strand();
  // The data of every block the bootloader accepted since the last boot entry or start.
  const Bytes& ReceivedImage() const { return image_; }

 private:
  Bytes ApplyMainFirmware(const ParsedCommand& command, PrinterState& state);
  Bytes ApplyBootloader(const ParsedCommand& command, PrinterState& state);
  Bytes AcceptBlock(const Bytes& frame);
  Bytes EndTransfer(PrinterState& state);

  bool inBootloader_ = false;
  // A start (01) was accepted and every block since; only such a transfer's end (04)
  // brings the main firmware back.
  bool transferWhole_ = false;
  int bootloaderBaud_ = kBootloaderWakeBaud;
  Bytes image_;
};

// The rate that a baud code of US 0x02 selects; 0 for a code the printer does not know.
int BaudOfCode(std::uint8_t code);

}  // namespace zelka::sim
