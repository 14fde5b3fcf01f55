// firmware check, update and recover.
#include "cli/commands.h"
#include "cli/flashing.h"
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

int RunUpdate(Context& context) {
  const firmware::FirmwareImage& image = context.inputs.firmware;
  Output& output = context.output;
  const int foundBaud = context.session.Baud();
  // What ran before, for the report: the update itself asks only for the board.
  const firmware::MainFirmware before = firmware::ReadMainFirmware(context.session);
  Flashing flashing(context);
  const firmware::UpdateResult result = firmware::UpdateFirmware(context.session, image, flashing.UpdateListener());
  if (!result.started) {
    if (result.board.refusal && result.board.bootNumber) {
      return output.Fail(ExitCode::kFileRefused, BoardRefusal(*result.board.bootNumber, image.Board()));
    }
    return output.Fail(ExitCode::kFailed, std::string("the update did not start: ") + StatusWords(result.status));
  }
  if (result.status == firmware::BootStatus::kCancelled) return ReportAbandoned(context, flashing);
  if (result.status != firmware::BootStatus::kOk) {
    return output.Fail(ExitCode::kFailed, "the update failed with error " +
                                              std::to_string(firmware::Code(result.status)) + " (" +
                                              StatusWords(result.status) +
                                              "); keep the printer on and run the update again");
  }
  return ReportFlashed(context, &before, foundBaud, "Firmware updated", "updated");
}

}  // namespace

int RunFirmwareCommand(Context& context) {
  switch (context.invocation.command->id) {
    case CommandId::kFirmwareCheck: return RunCheck(context);
    case CommandId::kFirmwareRecover: return RunRecover(context);
    default: return RunUpdate(context);
  }
}

}  // namespace zelka::cli
