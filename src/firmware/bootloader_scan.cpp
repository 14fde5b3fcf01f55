#include "firmware/bootloader_scan.h"

#include <QEventLoop>

#include <set>
#include <thread>

#include "firmware/bootloader_protocol.h"

namespace zelka::firmware {

namespace {

struct Probe {
  std::string port;
  link::SerialLink* link = nullptr;
  link::Status opened = link::Status::kNotOpen;
  bool answered = false;
};

// Runs on a thread of its own with a link no other probe uses.
void RunProbe(Probe& probe) {
  // Serial ports register notifiers with their thread's event dispatcher.
  const QEventLoop dispatcherHolder;
  probe.opened = probe.link->Open(probe.port, kBootloaderBaud, kHandshakeReadTimeout);
  if (probe.opened == link::Status::kOk) {
    probe.link->Send(kReadyFrame);
    if (probe.link->Receive(kReadyReplyBytes) == link::Status::kOk) {
      const auto reply = static_cast<Reply>(probe.link->RxByte(0));
      probe.answered = reply == Reply::kAck || reply == Reply::kReconnect;
    }
  }
  probe.link->Close();
}

}  // namespace

BootloaderScan FindWaitingBootloader(printer::Session& session, const std::vector<std::string>& ports) {
  std::vector<Probe> probes;
  std::set<std::string> seen;
  // Links are made here, on the session's thread; each probe thread uses its own.
  for (const std::string& port : ports) {
    if (!port.empty() && seen.insert(port).second) probes.push_back({port, &session.LinkFor(port)});
  }
  {
    std::vector<std::jthread> threads;
    threads.reserve(probes.size());
    for (Probe& probe : probes) threads.emplace_back([&probe] { RunProbe(probe); });
  }
  BootloaderScan scan;
  for (const Probe& probe : probes) {
    if (probe.answered && !scan.port) scan.port = probe.port;
    if (probe.opened == link::Status::kCannotOpen) {
      scan.unopened.push_back({probe.port, probe.link->LastOpenFailure(), probe.link->LastOpenError()});
    }
  }
  session.SetPort(scan.port.value_or(link::kNoPort));
  if (scan.port) session.SetBaud(kBootloaderBaud);
  session.ReleaseOtherPorts(session.Port());
  return scan;
}

}  // namespace zelka::firmware
