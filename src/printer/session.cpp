#include "printer/session.h"

#include "link/port_name.h"

namespace zelka::printer {

Session::Session(Sleeper& sleeper) : sleeper_(sleeper) {}

link::SerialLink& Session::LinkFor(const std::string& port) {
  // One link for every spelling of a port, so that one that is open is found again.
  auto& slot = links_[link::PortKey(port)];
  if (!slot) {
    slot = std::make_unique<link::SerialLink>();
    slot->SetObserver(observer_);
  }
  return *slot;
}

link::Status Session::OpenAt(const std::string& port, int baud,
                             std::chrono::milliseconds readTimeout) {
  const link::Status status = LinkFor(port).Open(port, baud, readTimeout);
  if (status == link::Status::kOk) baud_ = baud;
  return status;
}

void Session::CloseAll() {
  for (auto& [name, link] : links_) link->Close();
}

void Session::SetLinkObserver(link::Observer* observer) {
  observer_ = observer;
  for (auto& [name, link] : links_) link->SetObserver(observer);
}

}  // namespace zelka::printer
