// firmware check and update.
#include "cli/commands.h"
#include "cli/progress_bar.h"
#include "firmware/board_check.h"
#include "firmware/update_firmware.h"

namespace zelka::cli {

namespace {

// Why the file does not suit the board, in English (the core's own text is the window's).
std::string BoardRefusal(const std::string& bootNumber, std::uint8_t fileBoard) {
  const std::optional<int> board = firmware::BoardVersionOf(bootNumber);
  const std::string number = firmware::TrimBoardNumber(bootNumber);
  if (!board) {
    return "the printer's board (boot firmware number " + number +
           ") is unknown to this version of zelka; get a newer version from " + firmware::kDownloadAddress;
  }
  return "the file is built for board version " + std::to_string(fileBoard) + ", the printer's board (" +
         number + ") is version " + std::to_string(*board) + "; use the firmware file for board version " +
         std::to_string(*board);
}

const char* StatusWords(firmware::BootStatus status) {
  using firmware::BootStatus;
  switch (status) {
    case BootStatus::kOk: return "done";
    case BootStatus::kNoBootEntryReply: return "the printer did not answer the bootloader entry";
    case BootStatus::kNoEnquiryReply: return "the bootloader did not answer the enquiry";
    case BootStatus::kNoStartReply: return "the bootloader did not answer the start";
    case BootStatus::kStartRefused: return "the bootloader refused the start";
    case BootStatus::kNoBlockReply: return "the bootloader did not answer a block";
    case BootStatus::kBlockCancelled: return "the bootloader cancelled the transfer";
    case BootStatus::kBlockRefused: return "the bootloader refused a block";
    case BootStatus::kNoEndReply: return "the bootloader did not answer the end";
    case BootStatus::kEndCancelled: return "the bootloader cancelled at the end";
    case BootStatus::kImageUnreadable: return "the firmware file could not be read";
    case BootStatus::kImageTooLarge: return "the firmware file is too large";
    case BootStatus::kCancelled: return "the update was cancelled";
    case BootStatus::kNoReadyReply: return "the bootloader did not answer the ready query";
    case BootStatus::kReadyRefused: return "the bootloader refused the ready query";
    case BootStatus::kNoSpeedReply: return "the bootloader did not answer the speed change";
  }
  return "unknown error";
}

int NoBoard(Context& context) {
  return context.output.Fail(ExitCode::kFailed, "the printer " + PrinterWords(context.session) +
                                                    " did not tell its board (boot firmware number); "
                                                    "check that it is on and at this rate (--baud)");
}

int RunCheck(Context& context) {
  const firmware::FirmwareImage& image = context.inputs.firmware;
  const firmware::BoardCheck check = firmware::CheckBoard(context.session, image);
  if (!check.bootNumber) return NoBoard(context);
  if (check.refusal) {
    return context.output.Fail(ExitCode::kFileRefused, BoardRefusal(*check.bootNumber, image.Board()));
  }
  QJsonObject object = PrinterObject(context.session);
  object.insert(QStringLiteral("boot_firmware_number"), QString::fromStdString(*check.bootNumber));
  object.insert(QStringLiteral("file_board"), int{image.Board()});
  object.insert(QStringLiteral("suits"), true);
  context.output.Result("The file (board version " + std::to_string(image.Board()) +
                            ") suits the printer's board (boot firmware number " +
                            firmware::TrimBoardNumber(*check.bootNumber) + ").\n",
                        object);
  return 0;
}

const char* StageWords(firmware::UpdateStage stage) {
  switch (stage) {
    case firmware::UpdateStage::kBoardChecked: return "the file suits the board; entering the bootloader";
    case firmware::UpdateStage::kBootEntered: return "setting the bootloader's rate";
    case firmware::UpdateStage::kSpeedSet: return "sending the firmware";
    case firmware::UpdateStage::kBlockSent:
    case firmware::UpdateStage::kDone: break;
  }
  return nullptr;
}

int RunUpdate(Context& context) {
  const firmware::FirmwareImage& image = context.inputs.firmware;
  Output& output = context.output;
  ProgressBar bar(output.Err(), context.errIsTerminal);
  const firmware::UpdateResult result = firmware::UpdateFirmware(
      context.session, image,
      [&output, &bar](firmware::UpdateStage stage, std::size_t sent, std::size_t count) {
        if (output.Quiet()) return;
        if (stage == firmware::UpdateStage::kBlockSent) {
          bar.Update(sent, count);
        } else if (stage == firmware::UpdateStage::kDone) {
          bar.Finish();
        } else {
          output.Note(StageWords(stage));
        }
      });
  if (!result.started) {
    if (result.board.refusal && result.board.bootNumber) {
      return output.Fail(ExitCode::kFileRefused, BoardRefusal(*result.board.bootNumber, image.Board()));
    }
    return output.Fail(ExitCode::kFailed, std::string("the update did not start: ") + StatusWords(result.status));
  }
  if (result.status != firmware::BootStatus::kOk) {
    return output.Fail(ExitCode::kFailed, "the update failed with error " +
                                              std::to_string(firmware::Code(result.status)) + " (" +
                                              StatusWords(result.status) +
                                              "); keep the printer on and run the update again");
  }
  QJsonObject object = PrinterObject(context.session);
  object.insert(QStringLiteral("blocks"), static_cast<int>((image.bytes.size() + firmware::kBlockDataBytes - 1) /
                                                            firmware::kBlockDataBytes));
  object.insert(QStringLiteral("updated"), true);
  output.Result("Firmware updated " + PrinterWords(context.session) + ".\n", object);
  return 0;
}

}  // namespace

int RunFirmwareCommand(Context& context) {
  return context.invocation.command->id == CommandId::kFirmwareCheck ? RunCheck(context) : RunUpdate(context);
}

}  // namespace zelka::cli
