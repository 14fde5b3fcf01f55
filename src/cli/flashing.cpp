#include "cli/flashing.h"

#include <vector>

#include "cli/commands.h"
#include "firmware/bootloader_protocol.h"
#include "firmware/data_block.h"

namespace zelka::cli {

namespace {

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

QJsonValue FirmwareJson(const firmware::MainFirmware* firmware) {
  if (!firmware) return QJsonValue::Null;
  QJsonObject object;
  const auto text = [](const std::optional<std::string>& value) {
    return value ? QJsonValue(QString::fromStdString(*value)) : QJsonValue(QJsonValue::Null);
  };
  object.insert(QStringLiteral("number"), text(firmware->number));
  object.insert(QStringLiteral("version"), text(firmware->version));
  return object;
}

std::string FirmwareText(const firmware::MainFirmware* firmware) {
  if (!firmware) return "(the printer was in its bootloader)";
  const auto text = [](const std::optional<std::string>& value) { return value ? *value : "(no answer)"; };
  return text(firmware->number) + " version " + text(firmware->version);
}

}  // namespace

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

Flashing::Flashing(Context& context)
    : context_(context),
      bar_(context.output.Err(), context.errIsTerminal),
      signals_(context.output.Err(), context.errIsTerminal, abandon_) {
  context_.session.SetCancelFlag(&abandon_);
}

Flashing::~Flashing() { context_.session.SetCancelFlag(nullptr); }

void Flashing::Disarm() {
  signals_.Disarm();
  if (!context_.output.Quiet()) bar_.Finish();
}

firmware::UpdateListener Flashing::UpdateListener() {
  return [this](firmware::UpdateStage stage, std::size_t sent, std::size_t count) {
    // Armed before the boot entry frame goes out: from then on the printer is the
    // bootloader's until the transfer is over.
    if (stage == firmware::UpdateStage::kBoardChecked) signals_.Arm();
    if (stage == firmware::UpdateStage::kDone) {
      Disarm();
      return;
    }
    if (stage == firmware::UpdateStage::kBlockSent) {
      BlockListener()(sent, count);
    } else if (!context_.output.Quiet()) {
      context_.output.Note(StageWords(stage));
    }
  };
}

firmware::BlockProgress Flashing::BlockListener() {
  return [this](std::size_t sent, std::size_t count) {
    sent_ = sent;
    if (!context_.output.Quiet()) bar_.Update(sent, count);
  };
}

int ReportAbandoned(Context& context, const Flashing& flashing) {
  const std::size_t count = firmware::BlockCount(context.inputs.firmware.bytes.size());
  const std::string port = context.session.Port();
  return context.output.Fail(
      ExitCode::kFailed,
      "the firmware transfer was abandoned after " + std::to_string(flashing.BlocksSent()) + " of " +
          std::to_string(count) + " blocks; the printer on " + port +
          " waits in its bootloader and answers nothing else: finish it with \"zelka firmware recover " +
          context.invocation.arguments.front() + " --board " + std::to_string(context.inputs.firmware.Board()) +
          " --port " + port + "\"");
}

int ReportFlashed(Context& context, const firmware::MainFirmware* before, int foundBaud,
                  const std::string& done, const char* jsonFlag) {
  Output& output = context.output;
  output.Note("waiting for the printer to start its new firmware");
  std::vector<int> rates = {foundBaud};
  if (foundBaud != firmware::kBootloaderBaud) rates.push_back(firmware::kBootloaderBaud);
  const std::optional<firmware::MainFirmware> after = firmware::AwaitMainFirmware(context.session, rates);
  if (!after) {
    return output.Fail(ExitCode::kFailed, "the firmware was sent, but the printer on " + context.session.Port() +
                                              " did not answer within 30 s; switch it off and on again, "
                                              "then check it with \"zelka info\"");
  }
  QJsonObject object = PrinterObject(context.session);
  object.insert(QStringLiteral("blocks"),
                static_cast<int>(firmware::BlockCount(context.inputs.firmware.bytes.size())));
  object.insert(QString::fromLatin1(jsonFlag), true);
  object.insert(QStringLiteral("before"), FirmwareJson(before));
  object.insert(QStringLiteral("after"), FirmwareJson(&*after));
  output.Result(done + " " + PrinterWords(context.session) + ".\nMain firmware before: " +
                    FirmwareText(before) + "\nMain firmware after:  " + FirmwareText(&*after) + "\n",
                object);
  return 0;
}

}  // namespace zelka::cli
