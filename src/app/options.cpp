#include "app/options.h"

#include <QCommandLineParser>

#include "app/language.h"
#include "remote/ip_address.h"

#ifndef ZELKA_VERSION
#error "ZELKA_VERSION must be defined by the build"
#endif

namespace zelka::app {

namespace {

constexpr char kLangError[] = "--lang takes ru or en";

// Every option of the window, added to one parser.
struct OptionSet {
  explicit OptionSet(QCommandLineParser& parser);
  QCommandLineOption help;
  QCommandLineOption version;
  QCommandLineOption port;
  QCommandLineOption demo;
  QCommandLineOption tcpPort;
  QCommandLineOption listen;
  QCommandLineOption maxClients;
  QCommandLineOption allow;
  QCommandLineOption lang;
};

OptionSet::OptionSet(QCommandLineParser& parser)
    : help(parser.addHelpOption()),
      version(QStringLiteral("version"), QStringLiteral("Displays the version.")),
      port(QStringLiteral("port"), QStringLiteral("List this serial port instead of the system's ports (repeatable)."),
           QStringLiteral("NAME")),
      demo(QStringLiteral("demo"), QStringLiteral("Start a simulated printer and list its port.")),
      tcpPort(QStringLiteral("tcp-port"),
              QStringLiteral("TCP port of the remote service (default 4444, 0 = any free port)."),
              QStringLiteral("N")),
      listen(QStringLiteral("listen"), QStringLiteral("Serve remote clients on this address only (repeatable)."),
             QStringLiteral("ADDRESS")),
      maxClients(QStringLiteral("max-clients"),
                 QStringLiteral("Serve at most N remote clients at once (default 64); one more is closed unserved."),
                 QStringLiteral("N")),
      allow(QStringLiteral("allow"),
            QStringLiteral("Accept remote clients from this address or subnet only (repeatable; default everyone)."),
            QStringLiteral("ADDRESS[/PREFIX]")),
      lang(QStringLiteral("lang"),
           QStringLiteral("The window's language: ru or en (default: the system's; Russian unless it "
                          "names another language)."),
           QStringLiteral("ru|en")) {
  parser.setApplicationDescription(QStringLiteral("Service utility for Zelka receipt printers"));
  parser.addOptions({version, port, demo, tcpPort, listen, maxClients, allow, lang});
}

}  // namespace

std::optional<AnswerWithoutWindow> AnswerBeforeWindow(const QStringList& arguments) {
  QCommandLineParser parser;
  const OptionSet options(parser);
  // Qt's own options are still there: read as one word each, "-platformtheme" cannot pass
  // for "-h" followed by more letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.parse(arguments);  // Qt's options are unknown here; the window's parse judges the rest
  if (parser.isSet(options.help)) {
    // Without an application object the parser cannot name the program.
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), arguments.value(0, QStringLiteral("zelka-utility")));
    return AnswerWithoutWindow{0, text.trimmed().toStdString()};
  }
  if (parser.isSet(options.version)) return AnswerWithoutWindow{0, "zelka-utility " ZELKA_VERSION};
  if (parser.isSet(options.lang) && !LanguageNamed(parser.value(options.lang).toStdString())) {
    return AnswerWithoutWindow{2, kLangError};
  }
  return std::nullopt;
}

std::optional<Options> ParseOptions(const QStringList& arguments, std::string& error) {
  QCommandLineParser parser;
  const OptionSet set(parser);
  const QCommandLineOption& port = set.port;
  const QCommandLineOption& demo = set.demo;
  const QCommandLineOption& tcpPort = set.tcpPort;
  const QCommandLineOption& listen = set.listen;
  const QCommandLineOption& maxClients = set.maxClients;
  const QCommandLineOption& allow = set.allow;
  const QCommandLineOption& lang = set.lang;
  if (!parser.parse(arguments)) {
    error = parser.errorText().toStdString();
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
  if (error = remote::ListenAddressError(options.listen); !error.empty()) return std::nullopt;
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
      error = kLangError;
      return std::nullopt;
    }
    options.language = code;
  }
  return options;
}

}  // namespace zelka::app
