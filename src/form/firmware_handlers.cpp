// The firmware update: the file, the board check, the bootloader, ProgressBar1 and the
// outcome's message; and the recovery of a printer that waits in its bootloader, with the
// same bar and messages.
#include <atomic>

#include "firmware/board_check.h"
#include "firmware/bootloader.h"
#include "firmware/bootloader_protocol.h"
#include "firmware/firmware_file.h"
#include "firmware/update_firmware.h"
#include "form/main_form.h"
#include "form/messages.h"
#include "form/translation.h"

namespace zelka::form {

namespace {

using firmware::BootStatus;

constexpr char kFirmwareFileFilter[] = QT_TRANSLATE_NOOP("Messages", "Файлы BIOS (*.bin) | *.bin");
constexpr char kProgressBar[] = "ProgressBar1";

// ProgressBar1 counts tenths of a percent: the transfer's 60 % share then has 600 steps,
// so that the bar moves about every 0.2 s even for the largest image (2,735 blocks of
// 45 ms), where whole percents would leave it still for 2 s at a time. Its fixed
// positions: before anything, once the file suits the board, after the boot entry, after
// the speed command, at the end whatever the outcome.
constexpr int kPerPercent = 10;
constexpr int kStart = 0;
constexpr int kChecked = 10 * kPerPercent;
constexpr int kBootEntered = 30 * kPerPercent;
constexpr int kSpeedSet = 40 * kPerPercent;
constexpr int kDone = 100 * kPerPercent;

int BarPosition(firmware::UpdateStage stage, std::size_t sent, std::size_t count) {
  switch (stage) {
    case firmware::UpdateStage::kBoardChecked: return kChecked;
    case firmware::UpdateStage::kBootEntered: return kBootEntered;
    case firmware::UpdateStage::kSpeedSet: return kSpeedSet;
    case firmware::UpdateStage::kDone: return kDone;
    case firmware::UpdateStage::kBlockSent: break;
  }
  if (count == 0) return kSpeedSet;
  const std::size_t share = static_cast<std::size_t>(kDone - kSpeedSet);
  return kSpeedSet + static_cast<int>(share * std::min(sent, count) / count);
}

std::string TooLargeText(const MainForm& form, std::uint64_t length) {
  return Substitute(form.Tr(QT_TRANSLATE_NOOP("Messages",
                                              "Файл прошивки слишком велик: %1 байт, принтер "
                                              "принимает не более %2 байт. Обновление не начато.")),
                    {std::to_string(length), std::to_string(firmware::kMaxImageBytes)});
}

// The kind of file a user picked by mistake, in words.
const char* ForeignFormatText(firmware::ForeignFormat format) {
  using firmware::ForeignFormat;
  switch (format) {
    case ForeignFormat::kPngPicture: return QT_TRANSLATE_NOOP("Messages", "рисунок PNG");
    case ForeignFormat::kJpegPicture: return QT_TRANSLATE_NOOP("Messages", "рисунок JPEG");
    case ForeignFormat::kGifPicture: return QT_TRANSLATE_NOOP("Messages", "рисунок GIF");
    case ForeignFormat::kBmpPicture: return QT_TRANSLATE_NOOP("Messages", "рисунок BMP");
    case ForeignFormat::kZipArchive: return QT_TRANSLATE_NOOP("Messages", "архив ZIP");
    case ForeignFormat::kPdfDocument: return QT_TRANSLATE_NOOP("Messages", "документ PDF");
    case ForeignFormat::kNone: break;
  }
  return QT_TRANSLATE_NOOP("Messages", "файл другого вида");
}

struct Message {
  bool error = true;
  std::string text;
};

Message ResultMessage(const MainForm& form, BootStatus status) {
  const std::string code = std::to_string(firmware::Code(status));
  const auto error = [&form, &code](const char* source) {
    return Message{true, Substitute(form.Tr(source),
                                    {code, std::to_string(firmware::kMaxImageBytes)})};
  };
  switch (status) {
    case BootStatus::kOk: return {false, form.Tr(QT_TRANSLATE_NOOP("Messages", "Успешно"))};
    case BootStatus::kNoBootEntryReply: return error(QT_TRANSLATE_NOOP("Messages", "Ошибка N1: %1"));
    case BootStatus::kNoEnquiryReply: return error(QT_TRANSLATE_NOOP("Messages", "Ошибка N3: %1"));
    case BootStatus::kImageUnreadable:
      return error(
          QT_TRANSLATE_NOOP("Messages", "Ошибка N: %1. Не удалось прочитать файл прошивки."));
    case BootStatus::kImageTooLarge:
      return error(QT_TRANSLATE_NOOP("Messages", "Ошибка N: %1. Файл прошивки больше %2 байт."));
    default: return error(QT_TRANSLATE_NOOP("Messages", "Ошибка N: %1"));
  }
}

// The chosen file read whole; nothing (after its message) when it cannot be flashed.
std::shared_ptr<firmware::FirmwareImage> ReadImage(MainForm& form, const std::string& path) {
  auto image = std::make_shared<firmware::FirmwareImage>();
  const firmware::FirmwareFileRead read = firmware::ReadFirmwareFile(path, *image);
  switch (read.problem) {
    case firmware::FileProblem::kNone: return image;
    // As ever, a name that is no file ends the update without a word.
    case firmware::FileProblem::kDoesNotExist:
    case firmware::FileProblem::kNotAFile: break;
    case firmware::FileProblem::kTooLarge: form.Dialog().Error(TooLargeText(form, read.length)); break;
    case firmware::FileProblem::kEmpty:
      form.Dialog().Error(
          form.Tr(QT_TRANSLATE_NOOP("Messages", "Файл прошивки пуст. Обновление не начато.")));
      break;
    case firmware::FileProblem::kUnreadable:
      form.Dialog().Error(ResultMessage(form, BootStatus::kImageUnreadable).text);
      break;
    case firmware::FileProblem::kForeign:
      form.Dialog().Error(Substitute(
          form.Tr(QT_TRANSLATE_NOOP("Messages", "Это %1, а не прошивка. Обновление не начато.")),
          {form.Tr(ForeignFormatText(read.foreign))}));
      break;
  }
  return nullptr;
}

// Moves ProgressBar1 from the worker's thread; only moves are posted.
firmware::UpdateListener BarFollower(MainForm& form) {
  auto shown = std::make_shared<std::atomic<int>>(kStart);
  return [&form, shown](firmware::UpdateStage stage, std::size_t sent, std::size_t count) {
    const int position = BarPosition(stage, sent, count);
    if (shown->exchange(position) == position) return;
    form.Post([&form, position] { form.Window().SetPosition(kProgressBar, position); });
  };
}

void ShowResult(MainForm& form, BootStatus status) {
  const Message message = ResultMessage(form, status);
  if (message.error) {
    form.Dialog().Error(message.text);
  } else {
    form.Dialog().Information(message.text);
  }
}

void UpdateFirmware(MainForm& form) {
  form.Window().SetPosition(kProgressBar, kStart);
  const std::optional<std::string> chosen = form.Dialog().ChooseFile(form.Tr(kFirmwareFileFilter), false);
  if (!chosen) return;
  const std::shared_ptr<firmware::FirmwareImage> image = ReadImage(form, *chosen);
  if (!image) return;
  form.SetUpdatingFirmware(true);
  form.RunJob<firmware::UpdateResult>(
      [image, follow = BarFollower(form)](printer::Session& session) {
        return firmware::UpdateFirmware(session, *image, follow);
      },
      [&form, board = image->Board()](firmware::UpdateResult result) {
        form.SetUpdatingFirmware(false);
        if (!result.started) {
          if (result.board.refusal) form.Dialog().Error(BoardRefusalText(result.board, board, form.Translation()));
          return;
        }
        ShowResult(form, result.status);
      });
}

}  // namespace

void RecoverFirmware(MainForm& form) {
  const auto choice = form.Dialog().ChooseRecovery(form.ListedPorts(), form.Tr(kFirmwareFileFilter));
  if (!choice) return;
  form.Window().SetPosition(kProgressBar, kStart);
  const std::shared_ptr<firmware::FirmwareImage> image = ReadImage(form, choice->path);
  if (!image) return;
  // The bootloader cannot tell its board: the file must be built for the one chosen.
  if (image->Board() != choice->board) {
    form.Dialog().Error(Substitute(form.Tr(kBoardMismatchMessage),
                                   {std::to_string(image->Board()), std::to_string(choice->board)}));
    return;
  }
  form.SetUpdatingFirmware(true);
  form.RunJob<BootStatus>(
      [image, port = choice->port, follow = BarFollower(form)](printer::Session& session) {
        // The printer waits in its bootloader at the transfer rate: no boot entry, no
        // speed step before the transfer.
        session.SetPort(port);
        session.SetBaud(firmware::kBootloaderBaud);
        follow(firmware::UpdateStage::kSpeedSet, 0, 0);
        const BootStatus status = firmware::TransferFirmware(
            session, *image, [&follow](std::size_t sent, std::size_t count) {
              follow(firmware::UpdateStage::kBlockSent, sent, count);
            });
        follow(firmware::UpdateStage::kDone, 0, 0);
        return status;
      },
      [&form](BootStatus status) {
        form.SetUpdatingFirmware(false);
        ShowResult(form, status);
      });
}

void RegisterFirmwareHandlers(MainForm& form) {
  form.SetHandler("Button14", [&form] { UpdateFirmware(form); });
}

}  // namespace zelka::form
