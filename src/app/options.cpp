#include "app/options.h"

#include <QCommandLineParser>

#include "app/language.h"

namespace zelka::app {

std::optional<Options> ParseOptions(const QStringList& arguments, std::string& error) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Service utility for Zelka receipt printers"));
  parser.addHelpOption();
  const QCommandLineOption port(QStringLiteral("port"),
                                QStringLiteral("List this serial port instead of the system's ports (repeatable)."),
                                QStringLiteral("NAME"));
  const QCommandLineOption demo(QStringLiteral("demo"),
                                QStringLiteral("Start a simulated printer and list its port."));
  const QCommandLineOption tcpPort(QStringLiteral("tcp-port"),
                                   QStringLiteral("TCP port of the remote service (default 4444, 0 = any free port)."),
                                   QStringLiteral("N"));
  const QCommandLineOption listen(QStringLiteral("listen"),
                                  QStringLiteral("Serve remote clients on this address only (repeatable)."),
                                  QStringLiteral("ADDRESS"));
  const QCommandLineOption maxClients(
      QStringLiteral("max-clients"),
      QStringLiteral("Serve at most N remote clients at once (default 64); one more is closed unserved."),
      QStringLiteral("N"));
  const QCommandLineOption allow(
      QStringLiteral("allow"),
      QStringLiteral("Accept remote clients from this address or subnet only (repeatable; default everyone)."),
      QStringLiteral("ADDRESS[/PREFIX]"));
  const QCommandLineOption lang(
      QStringLiteral("lang"),
      QStringLiteral("The window's language: ru or en (default: the system's; Russian unless it "
                     "names another language)."),
      QStringLiteral("ru|en"));
  parser.addOptions({port, demo, tcpPort, listen, maxClients, allow, lang});
  if (!parser.parse(arguments)) {
    error = parser.errorText().toStdString();
    return std::nullopt;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    error = parser.helpText().toStdString();
    return std::nullopt;
  }
  if (!parser.positionalArguments().isEmpty()) {
    error = "unexpected argument: " + parser.positionalArguments().first().toStdString();
    return std::nullopt;
  }
  Options options;
  for (const QString& name : parser.values(port)) {
    if (name.isEmpty()) {
      error = "--port needs a port name";
      return std::nullopt;
    }
    options.ports.push_back(name.toStdString());
  }
  options.demo = parser.isSet(demo);
  if (parser.isSet(tcpPort)) {
    bool ok = false;
    const int value = parser.value(tcpPort).toInt(&ok);
    if (!ok || value < 0 || value > 65535) {
      error = "--tcp-port needs a number from 0 to 65535";
      return std::nullopt;
    }
    options.tcpPort = value;
  }
  for (const QString& address : parser.values(listen)) options.listen.push_back(address.toStdString());
  if (parser.isSet(maxClients)) {
    bool ok = false;
    const int value = parser.value(maxClients).toInt(&ok);
    if (!ok || value < 1 || value > 100000) {
      error = "--max-clients needs a number from 1 to 100000";
      return std::nullopt;
    }
    options.maxClients = value;
  }
  std::vector<std::string> allowed;
  for (const QString& entry : parser.values(allow)) allowed.push_back(entry.toStdString());
  std::string filterError;
  auto filter = remote::AddressFilter::Parse(allowed, filterError);
  if (!filter) {
    error = "--allow takes ADDRESS or ADDRESS/PREFIX (e.g. 192.168.1.0/24): " + filterError;
    return std::nullopt;
  }
  options.allow = *filter;
  if (parser.isSet(lang)) {
    const std::string code = parser.value(lang).toStdString();
    if (!LanguageNamed(code)) {
      error = "--lang takes ru or en";
      return std::nullopt;
    }
    options.language = code;
  }
  return options;
}

}  // namespace zelka::app
