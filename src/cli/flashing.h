// What firmware update and firmware recover share: the progress on standard error, the
// signals that must not cut a transfer short, and the report of what was flashed.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "cli/context.h"
#include "cli/progress_bar.h"
#include "cli/update_signals.h"
#include "firmware/bootloader.h"
#include "firmware/main_firmware.h"
#include "firmware/update_firmware.h"

namespace zelka::cli {

// The bootloader's result in a few words.
const char* StatusWords(firmware::BootStatus status);

// One transfer's progress bar and signal guard. The session gives up between blocks once
// a second interrupt asked for it (BootStatus::kCancelled).
class Flashing {
 public:
  explicit Flashing(Context& context);
  ~Flashing();
  Flashing(const Flashing&) = delete;
  Flashing& operator=(const Flashing&) = delete;

  // For UpdateFirmware: notes its steps, draws the blocks, arms the guard as the printer
  // is sent into its bootloader and disarms it when the update is over.
  firmware::UpdateListener UpdateListener();
  // For a transfer to a printer already in its bootloader: arm first, disarm after.
  firmware::BlockProgress BlockListener();
  void Arm() { signals_.Arm(); }
  void Disarm();

  std::size_t BlocksSent() const { return sent_; }

 private:
  Context& context_;
  std::atomic<bool> abandon_{false};
  ProgressBar bar_;
  UpdateSignals signals_;
  std::size_t sent_ = 0;
};

// The failure report of a transfer abandoned at the user's second interrupt, with the
// command that finishes it.
int ReportAbandoned(Context& context, const Flashing& flashing);

// After a transfer that ended well: waits for the printer to start its new firmware,
// asking at `foundBaud` (the rate the printer was found at) and at the transfer rate,
// and reports the main firmware before (nothing for a printer that was in its
// bootloader) and after. Exit 1 with advice when the printer does not come back.
int ReportFlashed(Context& context, const firmware::MainFirmware* before, int foundBaud,
                  const std::string& done, const char* jsonFlag);

}  // namespace zelka::cli
