#include "discovery/manual_connection.h"

#include <chrono>

namespace zelka::discovery {

namespace {

constexpr std::chrono::milliseconds kReadTimeout{1000};

}  // namespace

ConnectResult ConnectManually(printer::Session& session, const std::string& port) {
  ConnectResult result;
  result.baud = session.Baud();
  link::SerialLink& link = session.LinkFor(port);
  result.opened = session.OpenAt(port, session.Baud(), kReadTimeout);
  if (result.opened == link::Status::kCannotOpen) {
    result.reason = link.LastOpenFailure();
    result.detail = link.LastOpenError();
  }
  link.Close();
  if (result.opened == link::Status::kOk) session.SetPort(port);
  return result;
}

}  // namespace zelka::discovery
