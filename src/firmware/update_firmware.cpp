#include "firmware/update_firmware.h"

#include "firmware/bootloader.h"

namespace zelka::firmware {

UpdateResult UpdateFirmware(printer::Session& session, const FirmwareImage& image,
                            const UpdateListener& listener) {
  UpdateResult result;
  // An image the transfer would refuse is refused before the printer is bothered at all.
  if (image.bytes.empty()) {
    result.status = BootStatus::kImageUnreadable;
    return result;
  }
  if (image.bytes.size() > kMaxImageBytes) {
    result.status = BootStatus::kImageTooLarge;
    return result;
  }
  result.board = CheckBoard(session, image);
  if (result.board.refusal) return result;
  // A printer left in its bootloader needs the update run again: not started for a
  // program that is ending.
  if (session.Cancelled()) {
    result.status = BootStatus::kCancelled;
    return result;
  }
  result.started = true;
  const auto tell = [&listener](UpdateStage stage, std::size_t sent = 0, std::size_t count = 0) {
    if (listener) listener(stage, sent, count);
  };
  tell(UpdateStage::kBoardChecked);
  BootStatus status = EnterBootloader(session);
  tell(UpdateStage::kBootEntered);
  if (status == BootStatus::kOk) status = SetBootloaderSpeed(session);
  tell(UpdateStage::kSpeedSet);
  if (status == BootStatus::kOk) {
    status = TransferFirmware(session, image, [&tell](std::size_t sent, std::size_t count) {
      tell(UpdateStage::kBlockSent, sent, count);
    });
  }
  tell(UpdateStage::kDone);
  result.status = status;
  return result;
}

}  // namespace zelka::firmware
