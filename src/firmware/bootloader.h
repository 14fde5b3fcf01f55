// The bootloader routines: from the printer's main firmware into its bootloader, the
// bootloader's speed change, and the transfer of a firmware image, on the session's
// printer port.
//
// Each routine opens the port itself at the rate and read time-out of its step and closes
// it on every way out, failures included: the next operation must not inherit a
// bootloader connection at a bootloader rate. Every open that succeeds makes its rate the
// session's, so the session's rate is 19200 or 57600 once a routine past EnterBootloader
// has opened the port, and 57600 after a whole update (the main firmware comes back at
// the transfer rate).
//
// Waits go through Session::Sleep. Whether a frame could be written is not looked at: a
// write that fails shows up as the missing reply that follows it, and that reply's code
// says which step found no printer.
#pragma once

#include <cstddef>
#include <functional>

#include "firmware/bootloader_protocol.h"
#include "firmware/firmware_file.h"
#include "printer/session.h"

namespace zelka::firmware {

// Boot entry at the session's rate; then waits for the bootloader to start.
BootStatus EnterBootloader(printer::Session& session);
// The speed command at the bootloader's wake-up rate; then waits for it to change rate.
BootStatus SetBootloaderSpeed(printer::Session& session);
// 05 and its two-byte reply on the printer's link as it is: it neither opens nor closes.
BootStatus BootloaderEnquiry(printer::Session& session);

// Told of each block as it goes out (`sent` of `count`), before its reply is awaited: a
// caller that repaints here does so while the block is still on the line.
using BlockProgress = std::function<void(std::size_t sent, std::size_t count)>;

// Handshake, the speed command and reopening at the transfer rate, the start (the flash
// is erased), `image` in data blocks, and the end.
//
// An empty image or one over kMaxImageBytes is refused before anything is sent
// (kImageUnreadable, kImageTooLarge). When the session is cancelled, the transfer stops
// before the handshake or between two blocks with kCancelled; the end command is never
// sent after a partial image.
BootStatus TransferFirmware(printer::Session& session, const FirmwareImage& image,
                            const BlockProgress& progress = {});

}  // namespace zelka::firmware
