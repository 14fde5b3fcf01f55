// The signals of a firmware update. Once the printer has been sent into its bootloader,
// ending the program would leave it there, answering none of its main firmware's
// commands; so from the boot entry to the end of the transfer (Armed) SIGINT, SIGTERM and
// SIGHUP (on Windows: the console's Ctrl+C, Ctrl+Break and close events) do not end it.
// The first such signal writes on standard error that the update goes on; a second
// interrupt (Ctrl+C) asks for it to be abandoned at the next block (the flag the update's
// session looks at), for a user who accepts recovering the printer afterwards. Before
// Arm a signal ends the program as it always did.
//
// A broken pipe never ends the command while the guard exists: progress written to a
// pipe whose reader has gone is dropped.
//
// Thread-safety: one guard at a time, made, armed and destroyed on the command's thread;
// the handlers only write to standard error and set the flag.
#pragma once

#include <atomic>
#include <cstdio>
#include <memory>

namespace zelka::cli {

class UpdateSignals {
 public:
  // `err`: where the notes go; `terminal`: it shows a progress bar, so a note starts on a
  // line of its own. `abandon` is set at the second interrupt.
  UpdateSignals(std::FILE* err, bool terminal, std::atomic<bool>& abandon);
  // Disarms and puts the broken pipe's default handling back.
  ~UpdateSignals();
  UpdateSignals(const UpdateSignals&) = delete;
  UpdateSignals& operator=(const UpdateSignals&) = delete;

  void Arm();
  // The transfer is over: signals end the program again.
  void Disarm();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zelka::cli
