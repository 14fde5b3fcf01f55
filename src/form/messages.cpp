#include "form/messages.h"

#include "firmware/board_check.h"
#include "link/port_owner.h"

namespace zelka::form {

namespace {

std::string Tr(const Translator& translate, const char* source) {
  return Translate(translate, kMessagesContext, source);
}

}  // namespace

std::string FoundMessage(const std::string& port, int baud, const Translator& translate) {
  return Substitute(
      Tr(translate, QT_TRANSLATE_NOOP("Messages", "Принтер чеков найден на %1 на скорости %2")),
      {port, std::to_string(baud)});
}

std::string OpenFailureText(const std::string& port, link::OpenFailure reason,
                            const std::string& detail, const Translator& translate) {
  switch (reason) {
    case link::OpenFailure::kPermissionDenied: {
      // A group is named only when joining it gives access: not root's, not one the
      // device's mode shuts out.
      const link::PortAccess access = link::WhoMayOpen(port);
      if (!access.group.empty()) {
        return Substitute(
            Tr(translate,
               QT_TRANSLATE_NOOP("Messages", "%1: нет доступа — добавьте пользователя в группу %2")),
            {port, access.group});
      }
      if (!access.known) {
        return Substitute(Tr(translate, QT_TRANSLATE_NOOP("Messages", "%1: нет доступа к порту")), {port});
      }
      return Substitute(
          Tr(translate, QT_TRANSLATE_NOOP("Messages",
                                          "%1: нет доступа — открыть порт может только его владелец "
                                          "(%2); доступ группе даёт правило udev")),
          {port, access.owner});
    }
    case link::OpenFailure::kNotSerial:
      return Substitute(Tr(translate, QT_TRANSLATE_NOOP("Messages", "%1: это не последовательный порт")),
                        {port});
    case link::OpenFailure::kBusy:
      return Substitute(
          Tr(translate, QT_TRANSLATE_NOOP("Messages", "%1: порт занят другой программой")), {port});
    case link::OpenFailure::kAbsent:
      return Substitute(Tr(translate, QT_TRANSLATE_NOOP("Messages", "%1: порт не найден")), {port});
    case link::OpenFailure::kNone:
    case link::OpenFailure::kOther: break;
  }
  if (detail.empty()) {
    return Substitute(Tr(translate, QT_TRANSLATE_NOOP("Messages", "%1: не удалось открыть порт")),
                      {port});
  }
  // The detail is the system's own wording of the error, passed on as it is.
  return Substitute(
      Tr(translate, QT_TRANSLATE_NOOP("Messages", "%1: не удалось открыть порт (%2)")),
      {port, detail});
}

std::string NotFoundMessage(const std::vector<discovery::PortProblem>& unopened,
                            const Translator& translate) {
  std::string text = Tr(translate, kPrinterNotFound);
  for (const auto& problem : unopened) {
    text += "\n" + OpenFailureText(problem.port, problem.reason, problem.detail, translate);
  }
  return text;
}

// The board check's refusal in the user's language. The check words it in Russian; the
// same sentence is rebuilt here from the catalogue's template when it is one of the two
// known ones, and shown as the check worded it otherwise.
std::string BoardRefusalText(const firmware::BoardCheck& check, std::uint8_t fileBoard,
                             const Translator& translate) {
  const std::string& refusal = *check.refusal;
  struct Known {
    const char* source;
    std::vector<std::string> arguments;
  };
  const std::optional<int> board =
      check.bootNumber ? firmware::BoardVersionOf(*check.bootNumber) : std::nullopt;
  const std::string fileVersion = std::to_string(fileBoard);
  const std::string boardVersion = board ? std::to_string(*board) : std::string();
  const std::string address = firmware::kDownloadAddress;
  const Known known[] = {
      {QT_TRANSLATE_NOOP("Messages",
                         "Внимание!!! Данная версия программы устарела и не поддерживает текущую "
                         "версии платы. Пожалуйста обновите программу с сайта: %1"),
       {address}},
      {kBoardMismatchMessage, {fileVersion, boardVersion}},
  };
  for (const Known& k : known) {
    if (Substitute(k.source, k.arguments) == refusal) {
      return Substitute(Tr(translate, k.source), k.arguments);
    }
  }
  return refusal;
}

}  // namespace zelka::form
