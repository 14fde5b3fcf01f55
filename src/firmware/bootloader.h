// The bootloader routines: from the printer's main firmware into its bootloader, the
// bootloader's speed change, and the transfer of a firmware image. Each returns one of
// the result codes of bootloader_protocol.h (0 = success).
//
// Each routine holds the link lock for its whole length, opens the port itself at the
// rate and read time-out of its step and closes it on every way out, failures included:
// the next operation must not inherit a bootloader connection at a bootloader rate.
// CurrentBaud holds 19200 or 57600 once a routine past EnterBootloader has opened the port.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "firmware/bootloader_protocol.h"

namespace zelka::firmware {

// Boot entry at CurrentBaud; then waits for the bootloader to start.
int EnterBootloader();
// The speed command at the bootloader's wake-up rate; then waits for it to change rate.
int SetBootloaderSpeed();
// 05 and its two-byte reply on the port that is open already (it neither opens nor closes).
int BootloaderEnquiry();

// Told of each block as it goes out (`sent` of `count`), before its reply is awaited: a
// caller that repaints here does so while the block is still on the line.
using BlockProgress = std::function<void(std::size_t sent, std::size_t count)>;
// Handshake, the image of the file at `path` (UTF-8) in data blocks, and the end.
int TransferFirmware(const std::string& path, const BlockProgress& progress = {});

}  // namespace zelka::firmware
