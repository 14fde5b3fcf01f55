#include "cli/printer_selection.h"

#include <chrono>
#include <map>

#include "cli/failure_text.h"
#include "link/port_list.h"
#include "link/port_name.h"

namespace zelka::cli {

namespace {

constexpr std::chrono::milliseconds kOpenCheckTimeout{0};

}  // namespace

discovery::PortList PortsToSearch(const GlobalOptions& global) {
  if (!global.ports.empty()) return [ports = global.ports] { return ports; };
  // Full paths: what the results show is what the user types next time.
  return [] { return link::SystemPortPaths(); };
}

NotFound ExplainNotFound(const discovery::SearchResult& result,
                         const std::vector<std::string>& searched,
                         const std::string& environmentPort) {
  if (searched.empty()) {
    return {ExitCode::kNoPrinter, "no serial ports found; connect the printer or name its port with --port"};
  }
  // When no port of the list could be opened, and all for the same reason, that reason is
  // what the user has to mend (most often: not in the port's group).
  // Each port once, however often and in whatever spelling it was named.
  std::map<std::string, std::string> distinct;
  for (const std::string& port : searched) distinct.emplace(link::PortKey(port), port);
  if (!result.unopened.empty() && result.unopened.size() == distinct.size()) {
    const discovery::PortProblem& first = result.unopened.front();
    bool alike = true;
    for (const auto& problem : result.unopened) alike = alike && problem.reason == first.reason;
    if (alike) {
      const Failure failure = OpenFailure(first.port, first.reason, first.detail, environmentPort);
      if (failure.code != ExitCode::kFailed) return {failure.code, failure.message};
    }
  }
  std::string ports;
  for (const auto& [key, port] : distinct) {
    ports += (ports.empty() ? "" : ", ") + PortWords(port, environmentPort);
  }
  std::string message = "no printer found on " + ports +
                        " at 57600, 9600, 115200 or 19200 baud; check that the printer is on "
                        "and connected, or name its port with --port";
  for (const auto& problem : result.unopened) {
    message += "; " + OpenFailure(problem.port, problem.reason, problem.detail, environmentPort).message;
  }
  return {ExitCode::kNoPrinter, message};
}

int SelectPrinter(Context& context) {
  const GlobalOptions& global = context.invocation.global;
  if (global.baud) {
    context.session.SetPort(global.ports.front());
    context.session.SetBaud(*global.baud);
    // Opened and closed, nothing sent: some operations take a port that will not open
    // for a printer that does not answer, and the user must learn why it would not.
    const printer::Result opened = printer::OpenPrinter(context.session, kOpenCheckTimeout);
    context.session.CloseAll();
    if (opened.Ok()) return 0;
    const Failure failure = OpenFailure(opened.port, opened.openFailure, opened.detail, global.environmentPort);
    return context.output.Fail(failure.code, failure.message);
  }
  const discovery::PortList ports = PortsToSearch(global);
  std::vector<std::string> searched;
  // The list the search went through last, for the message when nothing answered.
  const discovery::PortList recorded = [&ports, &searched] {
    searched = ports();
    return searched;
  };
  const discovery::SearchResult result = discovery::SearchPrinter(context.session, recorded);
  if (result.printer) {
    // The command holds the printer's port to its end; the other ports are free again.
    context.session.ReleaseOtherPorts(result.printer->port);
    return 0;
  }
  const NotFound notFound = ExplainNotFound(result, searched, global.environmentPort);
  return context.output.Fail(notFound.code, notFound.message);
}

}  // namespace zelka::cli
