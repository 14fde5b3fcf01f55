#include "form/messages.h"

#include "link/port_owner.h"

namespace zelka::form {

std::string FoundMessage(const std::string& port, int baud) {
  return "Принтер чеков найден на " + port + " на скорости " + std::to_string(baud);
}

std::string OpenFailureText(const std::string& port, link::OpenFailure reason,
                            const std::string& detail) {
  switch (reason) {
    case link::OpenFailure::kPermissionDenied: {
      const std::string group = link::PortOwnerGroup(port);
      return port + ": нет доступа — добавьте пользователя в группу " +
             (group.empty() ? std::string("dialout") : group);
    }
    case link::OpenFailure::kBusy: return port + ": порт занят другой программой";
    case link::OpenFailure::kAbsent: return port + ": порт не найден";
    case link::OpenFailure::kNone:
    case link::OpenFailure::kOther: break;
  }
  return port + ": не удалось открыть порт" + (detail.empty() ? "" : " (" + detail + ")");
}

std::string NotFoundMessage(const std::vector<discovery::PortProblem>& unopened) {
  std::string text = kPrinterNotFound;
  for (const auto& problem : unopened) {
    text += "\n" + OpenFailureText(problem.port, problem.reason, problem.detail);
  }
  return text;
}

}  // namespace zelka::form
