// serve: the window's remote service without the window, for POS boxes without a
// desktop. It runs until SIGTERM or SIGINT, then ends the connections, lets the printer
// job under way end (its port is closed after it) and exits 0.
#include <QCoreApplication>

#include <memory>

#include "cli/commands.h"
#include "cli/printer_selection.h"
#include "cli/stop_signal.h"
#include "printer/worker.h"
#include "remote/remote_query_server.h"

namespace zelka::cli {

namespace {

// With --baud the printer's port and rate are known from the start; otherwise the
// clients' search ("SVEC000") finds the printer, as in the window.
void PresetPrinter(printer::Worker& worker, const GlobalOptions& global) {
  if (!global.baud) return;
  worker.Submit([port = global.ports.front(), baud = *global.baud](printer::Session& session) {
    session.SetPort(port);
    session.SetBaud(baud);
  });
}

}  // namespace

int RunServe(Context& context) {
  const Invocation& invocation = context.invocation;
  Output& output = context.output;
  printer::Worker worker;
  if (context.trace) worker.SetLinkObserver(context.trace);
  PresetPrinter(worker, invocation.global);

  remote::Host host;
  host.worker = &worker;
  host.ports = PortsToSearch(invocation.global);
  remote::RemoteQueryServer::Options options;
  options.port = invocation.tcpPort;
  options.addresses = invocation.listen;
  options.maxClients = invocation.maxClients;
  options.allow = invocation.allow;
  auto server = std::make_unique<remote::RemoteQueryServer>(host, options);
  if (!server->Start()) {
    return output.Fail(ExitCode::kFailed, "the remote service could not start: " + server->Error());
  }
  StopSignal stop([] { QCoreApplication::quit(); });
  if (!stop.Installed()) {
    return output.Fail(ExitCode::kFailed, "cannot handle SIGTERM and SIGINT: " + stop.Error());
  }
  // The window's own line: scripts that asked for any free port (--tcp-port 0) read it.
  QJsonObject listening;
  listening.insert(QStringLiteral("tcp_port"), int{server->Port()});
  output.Result("Remote service listening on port " + std::to_string(server->Port()) + "\n", listening);
  QCoreApplication::exec();
  // The connections wait for the worker: they end first, then the job under way.
  server.reset();
  worker.Stop();
  return 0;
}

}  // namespace zelka::cli
