#include "firmware/update_flow.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "commands/catalogue.h"
#include "firmware/board_check.h"
#include "firmware/bootloader.h"
#include "firmware/firmware_file.h"
#include "firmware/update_progress.h"
#include "link/link_lock.h"
#include "link/serial_link.h"

namespace zelka::firmware {
namespace {

constexpr char kFirmwareFileFilter[] = "Файлы BIOS (*.bin) | *.bin";
// The board query talks to the main firmware, which answers at once.
constexpr std::chrono::milliseconds kBoardQueryReadTimeoutMs{300};

struct Message {
  bool error = true;
  std::string text;
};

std::string TooLargeText(std::uintmax_t length) {
  return "Файл прошивки слишком велик: " + std::to_string(length) +
         " байт, принтер принимает не более " + std::to_string(kMaxImageBytes) +
         " байт. Обновление не начато.";
}

Message ResultMessage(int result) {
  const std::string code = std::to_string(result);
  switch (result) {
    case kBootOk: return {false, "Успешно"};
    case kNoBootEntryReply: return {true, "Ошибка N1: " + code};
    case kNoEnquiryReply: return {true, "Ошибка N3: " + code};
    case kImageUnreadable:
      return {true, "Ошибка N: " + code + ". Не удалось прочитать файл прошивки."};
    case kImageTooLarge:
      return {true, "Ошибка N: " + code + ". Файл прошивки больше " +
                        std::to_string(kMaxImageBytes) + " байт."};
    default: return {true, "Ошибка N: " + code};
  }
}

// The printer's boot firmware number, when its main firmware gives it at the current rate.
std::optional<std::string> QueryBootFirmwareNumber() {
  link::OpenPort(link::CurrentPortName, link::CurrentBaud,
                 static_cast<int>(kBoardQueryReadTimeoutMs.count()));
  std::string number;
  const bool answered =
      commands::QueryFirmwareNumber(commands::kBootFirmware, number) == link::kOk;
  link::ClosePort();
  if (!answered) return std::nullopt;
  return number;
}

// The bar moves on through every step, whether or not the step before it ran, so that
// it ends at 100 once the bootloader steps have begun.
Message UpdatePrinter(const std::string& path, std::uint8_t fileBoard, UpdateProgress& progress) {
  link::PrinterOperation operation;
  // A printer that does not tell its board gets the file unchecked.
  if (const auto bootNumber = QueryBootFirmwareNumber()) {
    if (auto refusal = BoardMismatch(*bootNumber, fileBoard)) return {true, std::move(*refusal)};
  }
  progress.Show(UpdateProgress::kChecked);
  int result = EnterBootloader();
  progress.Show(UpdateProgress::kBootEntered);
  if (result == kBootOk) result = SetBootloaderSpeed();
  progress.Show(UpdateProgress::kSpeedSet);
  if (result == kBootOk) {
    result = TransferFirmware(path, [&progress](std::size_t sent, std::size_t count) {
      progress.OnBlock(sent, count);
    });
  }
  progress.Show(UpdateProgress::kDone);
  return ResultMessage(result);
}

}  // namespace

void Button14Click(seams::Context& context) {
  UpdateProgress progress(context.window, context.dialogs);
  progress.Reset();
  const std::optional<std::string> chosen =
      context.dialogs.ChooseFile(kFirmwareFileFilter, /*picturePreview=*/false);
  if (!chosen) return;
  const std::filesystem::path path = PathFromUtf8(*chosen);
  if (!IsExistingFile(path)) return;
  // Refused before anything is sent: the image buffer cannot hold it.
  if (const auto length = FileLength(path); length && *length > kMaxImageBytes) {
    context.dialogs.Error(TooLargeText(*length));
    return;
  }
  // The box shows once the lock is released: nothing waits for the link behind it.
  const Message message = UpdatePrinter(*chosen, ReadBoardVersion(path), progress);
  if (message.error) {
    context.dialogs.Error(message.text);
  } else {
    context.dialogs.Information(message.text);
  }
}

}  // namespace zelka::firmware
