// The whole firmware update as one operation: the image checked against the printer's
// board, the printer taken into its bootloader, the bootloader's speed change and the
// transfer. It runs on the printer worker's thread; a front end follows it through the
// listener and puts the result into words.
#pragma once

#include <cstddef>
#include <functional>

#include "firmware/board_check.h"
#include "firmware/bootloader_protocol.h"
#include "firmware/firmware_file.h"
#include "printer/session.h"

namespace zelka::firmware {

// The steps the update tells of, in this order: kBoardChecked, kBootEntered, kSpeedSet,
// kBlockSent once per block, kDone. The fixed steps are told whatever the step before
// them came to, so that a follower ends at kDone once the update has started.
enum class UpdateStage {
  kBoardChecked,  // the image suits the board (or the printer did not tell its board)
  kBootEntered,   // EnterBootloader has returned
  kSpeedSet,      // SetBootloaderSpeed has returned (or was skipped after a failure)
  kBlockSent,     // block `sent` of `count` has gone out; its reply is still awaited
  kDone,          // the update has ended, whatever its outcome
};

// `sent` and `count` are the block and the number of blocks for kBlockSent, 0 otherwise.
// Called on the thread that runs the update, with the port open during kBlockSent and
// closed at every other stage.
using UpdateListener = std::function<void(UpdateStage stage, std::size_t sent, std::size_t count)>;

struct UpdateResult {
  BoardCheck board;
  BootStatus status = BootStatus::kOk;
  // False when nothing past the board query was sent: the board check refused the image
  // (board.refusal), the image is none the printer can take (status kImageUnreadable or
  // kImageTooLarge, and not even the query was sent), or the session was cancelled
  // (kCancelled). No stage is told then.
  bool started = false;
};

// Board check, then EnterBootloader, SetBootloaderSpeed and TransferFirmware, each only
// after the one before succeeded. The image is the one the board check looked at; the
// session's rate is the printer's main firmware's at the start.
UpdateResult UpdateFirmware(printer::Session& session, const FirmwareImage& image,
                            const UpdateListener& listener = {});

}  // namespace zelka::firmware
