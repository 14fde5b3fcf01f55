#include <memory>
#include <thread>

#include "link/port_probe.h"

namespace zelka::link {

namespace {

// A link of its own on a thread of its own: the blocking reads of the Windows port wait
// side by side.
void ProbeOne(const std::string& port, int baud, std::span<const std::uint8_t> frame,
              std::chrono::milliseconds readTimeout, Observer* observer, ProbeOutcome& outcome) {
  SerialLink link;
  link.SetObserver(observer);
  // The search holds the port's lock from before its probe.
  link.UseCallersLock(port);
  outcome.opened = link.Open(port, baud, readTimeout);
  outcome.failure = link.LastOpenFailure();
  outcome.error = link.LastOpenError();
  outcome.answered = link.Send(frame) == Status::kOk && link.Receive(1) == Status::kOk;
  link.Close();
}

}  // namespace

std::vector<ProbeOutcome> ProbePorts(const std::vector<std::string>& ports, int baud,
                                     std::span<const std::uint8_t> frame,
                                     std::chrono::milliseconds readTimeout, Observer* observer) {
  std::vector<ProbeOutcome> outcomes(ports.size());
  std::vector<std::jthread> threads;
  threads.reserve(ports.size());
  for (std::size_t i = 0; i < ports.size(); ++i) {
    threads.emplace_back([&, i] { ProbeOne(ports[i], baud, frame, readTimeout, observer, outcomes[i]); });
  }
  threads.clear();  // joins
  return outcomes;
}

}  // namespace zelka::link
