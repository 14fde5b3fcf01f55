#include "cli/arguments.h"

#include <QCommandLineParser>

#include <algorithm>

#include "cli/argument_bytes.h"
#include "remote/ip_address.h"
#include "commands/qr.h"
#include "service/printer_settings.h"

namespace zelka::cli {

namespace {

using Kind = ParseOutcome::Kind;

const QString kPort = QStringLiteral("port");
const QString kBaud = QStringLiteral("baud");
const QString kJson = QStringLiteral("json");
const QString kTrace = QStringLiteral("trace");
const QString kQuiet = QStringLiteral("quiet");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");
const QString kPaper = QStringLiteral("paper");
const QString kTcpPort = QStringLiteral("tcp-port");
const QString kListen = QStringLiteral("listen");
const QString kMaxClients = QStringLiteral("max-clients");
const QString kAllow = QStringLiteral("allow");
const QString kThreshold = QStringLiteral("threshold");
const QString kPreview = QStringLiteral("preview");
const QString kAll = QStringLiteral("all");
const QString kCut = QStringLiteral("cut");
const QString kOnly = QStringLiteral("only");
const QString kForce = QStringLiteral("force");
const QString kCodePage866 = QStringLiteral("codepage-866");
const QString kLogo = QStringLiteral("logo");
const QString kBoard = QStringLiteral("board");

void AddOptions(QCommandLineParser& parser) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
  // The help is ours (it lists the subcommands); the descriptions here are never shown.
  parser.addOption({{QStringLiteral("p"), kPort}, {}, QStringLiteral("NAME")});
  parser.addOption({{QStringLiteral("b"), kBaud}, {}, QStringLiteral("N")});
  parser.addOption({kJson, {}});
  parser.addOption({kTrace, {}});
  parser.addOption({{QStringLiteral("q"), kQuiet}, {}});
  parser.addOption({{QStringLiteral("h"), kHelp}, {}});
  parser.addOption({kVersion, {}});
  parser.addOption({kPaper, {}, QStringLiteral("WIDTH")});
  parser.addOption({kTcpPort, {}, QStringLiteral("N")});
  parser.addOption({kListen, {}, QStringLiteral("ADDRESS")});
  parser.addOption({kMaxClients, {}, QStringLiteral("N")});
  parser.addOption({kAllow, {}, QStringLiteral("ADDRESS")});
  parser.addOption({kThreshold, {}, QStringLiteral("N")});
  parser.addOption({kPreview, {}, QStringLiteral("FILE")});
  parser.addOption({kAll, {}});
  parser.addOption({kCut, {}});
  parser.addOption({kOnly, {}});
  parser.addOption({kForce, {}});
  parser.addOption({kCodePage866, {}});
  parser.addOption({kLogo, {}, QStringLiteral("FILE")});
  parser.addOption({kBoard, {}, QStringLiteral("N")});
}

// A whole decimal number; nothing for anything else.
std::optional<int> Number(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return std::stoi(text);
}

Origin FromFile(const ConfigValue& value) {
  return {Origin::Kind::kConfigFile, value.file, value.line};
}

bool IsPrinterRate(int baud) {
  return std::find(service::kPrinterRates.begin(), service::kPrinterRates.end(), baud) !=
         service::kPrinterRates.end();
}

// The one value of an option that may be given once; an error when given more often.
std::optional<std::string> Single(const QCommandLineParser& parser, const QString& name,
                                  std::string& error) {
  const QStringList values = parser.values(name);
  if (values.isEmpty()) return std::nullopt;
  if (values.size() > 1) error = "--" + name.toStdString() + " is given more than once";
  return ArgumentBytes(values.last());
}

std::string CheckRange(const std::string& text, int min, int max, const char* what, int& out) {
  const auto value = Number(text);
  if (!value || *value < min || *value > max) {
    return std::string(what) + " must be " + std::to_string(min) + ".." + std::to_string(max) +
           ", not \"" + text + "\"";
  }
  out = *value;
  return {};
}

// The command's positional value, checked; "" when it is fine.
std::string CheckValue(Invocation& invocation) {
  const std::string argument = invocation.arguments.empty() ? "" : invocation.arguments.front();
  switch (invocation.command->id) {
    case CommandId::kSetCutLine:
      return CheckRange(argument, service::kCutLineMin, service::kCutLineMax, "the cut line",
                        invocation.number);
    case CommandId::kSetDensity:
      return CheckRange(argument, service::kDensityMin, service::kDensityMax, "the density",
                        invocation.number);
    case CommandId::kSetBaud: {
      const auto baud = Number(argument);
      if (!baud || !IsPrinterRate(*baud)) {
        return "the rate must be 9600, 19200, 57600 or 115200, not \"" + argument + "\"";
      }
      invocation.number = *baud;
      return {};
    }
    case CommandId::kSetCodePage:
      if (argument != "866") return "the only code page is 866, not \"" + argument + "\"";
      invocation.number = 866;
      return {};
    case CommandId::kSetPaperWidth:
      if (argument != "80" && argument != "57") {
        return "the paper width must be 80 or 57, not \"" + argument + "\"";
      }
      invocation.number = std::stoi(argument);
      return {};
    case CommandId::kPrintQr:
      if (invocation.arguments.empty()) return {};
      if (argument.empty()) return "the QR code's TEXT is empty; give the text to encode";
      if (argument.size() > commands::kQrMaxPayloadBytes) {
        return "the QR code's TEXT has " + std::to_string(argument.size()) + " bytes; a symbol holds at most " +
               std::to_string(commands::kQrMaxPayloadBytes);
      }
      return {};
    case CommandId::kSettingsSave:
    case CommandId::kSettingsRestore:
    case CommandId::kPrintRaw:
      return argument.empty() ? "\"" + CommandWords(*invocation.command) + "\" needs a file name" : "";
    default: return {};
  }
}

std::string CheckCommandOptions(const QCommandLineParser& parser, const ConfigFile& configured,
                                Invocation& invocation) {
  const unsigned allowed = invocation.command->options;
  struct Owned {
    const QString& name;
    CommandOption bit;
  };
  for (const Owned& option : {Owned{kPaper, kPaperOption}, Owned{kTcpPort, kTcpPortOption},
                              Owned{kListen, kListenOption}, Owned{kMaxClients, kMaxClientsOption},
                              Owned{kAllow, kAllowOption}, Owned{kThreshold, kThresholdOption},
                              Owned{kPreview, kPreviewOption}, Owned{kAll, kAllOption},
                              Owned{kCut, kCutOption}, Owned{kOnly, kOnlyOption},
                              Owned{kLogo, kLogoOption}, Owned{kForce, kForceOption},
                              Owned{kCodePage866, kCodePageOption}, Owned{kBoard, kBoardOption}}) {
    if (parser.isSet(option.name) && !(allowed & option.bit)) {
      return "--" + option.name.toStdString() + " does not go with \"" +
             CommandWords(*invocation.command) + "\"";
    }
  }
  std::string error;
  invocation.all = parser.isSet(kAll);
  invocation.cut = parser.isSet(kCut);
  invocation.only = parser.isSet(kOnly);
  invocation.force = parser.isSet(kForce);
  invocation.codepage866 = parser.isSet(kCodePage866);
  if (const auto logo = Single(parser, kLogo, error)) {
    if (logo->empty()) return "--logo needs the name of a picture file";
    invocation.logo = *logo;
  }
  if (invocation.all && invocation.global.baud) {
    if (invocation.global.baudOrigin.kind == Origin::Kind::kCommandLine) {
      return "--all searches every port; it does not go with --baud";
    }
    // A configured rate spares a search for one printer; --all asks for the search.
    invocation.global.baud.reset();
    invocation.global.baudOrigin = {};
  }
  std::optional<std::string> paper = Single(parser, kPaper, error);
  if (paper) {
    invocation.global.paperOrigin.kind = Origin::Kind::kCommandLine;
  } else if (configured.paper && (allowed & kPaperOption)) {
    paper = configured.paper->value;
    invocation.global.paperOrigin = FromFile(*configured.paper);
  }
  if (paper) {
    if (*paper == "80" || *paper == "57") invocation.paperMm = std::stoi(*paper);
    if (*paper == "80") {
      invocation.layout = service::ReceiptLayout::k80mm;
    } else if (*paper == "57") {
      invocation.layout = service::ReceiptLayout::k57mm;
    } else if (*paper == "57-on-80" && !(allowed & kPreviewOption)) {
      invocation.layout = service::ReceiptLayout::k57mmOn80mm;
    } else if (allowed & kPreviewOption) {
      return "--paper must be 80 or 57, not \"" + *paper + "\"";
    } else {
      return "--paper must be 80, 57 or 57-on-80, not \"" + *paper + "\"";
    }
    if (invocation.layout == service::ReceiptLayout::k57mm) {
      invocation.conversion.paperDots = graphics::kPaperDots57mm;
    }
  }
  if (const auto threshold = Single(parser, kThreshold, error)) {
    int value = 0;
    if (auto e = CheckRange(*threshold, 0, 255, "--threshold", value); !e.empty()) return e;
    invocation.conversion.threshold = value;
  }
  if (allowed & kBoardOption) {
    // The bootloader cannot tell its board, and a file for the other board would leave
    // the printer without working firmware: the user must name it.
    const auto board = Single(parser, kBoard, error);
    if (!board) return "\"" + CommandWords(*invocation.command) + "\" needs --board 3 or --board 4";
    if (*board != "3" && *board != "4") return "--board must be 3 or 4, not \"" + *board + "\"";
    invocation.board = std::stoi(*board);
    if (invocation.global.baud) {
      return "--baud does not go with \"" + CommandWords(*invocation.command) +
             "\": the bootloader speaks at 57600 baud only";
    }
  }
  if (const auto preview = Single(parser, kPreview, error)) {
    if (preview->empty()) return "--preview needs the name of a PNG file to write";
    invocation.preview = *preview;
  }
  if (const auto port = Single(parser, kTcpPort, error)) {
    int value = 0;
    if (auto e = CheckRange(*port, 0, 65535, "--tcp-port", value); !e.empty()) return e;
    invocation.tcpPort = static_cast<std::uint16_t>(value);
  }
  for (const QString& address : parser.values(kListen)) invocation.listen.push_back(ArgumentBytes(address));
  if (auto e = remote::ListenAddressError(invocation.listen); !e.empty()) return e;
  if (const auto most = Single(parser, kMaxClients, error)) {
    int value = 0;
    if (auto e = CheckRange(*most, 1, 100000, "--max-clients", value); !e.empty()) return e;
    invocation.maxClients = value;
  }
  std::vector<std::string> clients;
  for (const QString& entry : parser.values(kAllow)) clients.push_back(ArgumentBytes(entry));
  std::string filterError;
  auto filter = remote::AddressFilter::Parse(clients, filterError);
  if (!filter) return "--allow takes ADDRESS or ADDRESS/PREFIX (e.g. 192.168.1.0/24): " + filterError;
  invocation.allow = *filter;
  return error;
}

std::string CheckGlobalOptions(const QCommandLineParser& parser,
                               const std::optional<std::string>& environmentPort,
                               const ConfigFile& configured, GlobalOptions& global) {
  for (const QString& port : parser.values(kPort)) {
    if (port.isEmpty()) return "--port needs a port name";
    global.ports.push_back(ArgumentBytes(port));
  }
  if (!global.ports.empty()) {
    global.portOrigin.kind = Origin::Kind::kCommandLine;
  } else if (environmentPort) {
    global.ports.push_back(*environmentPort);
    global.environmentPort = *environmentPort;
    global.portOrigin.kind = Origin::Kind::kEnvironment;
  } else if (configured.port) {
    global.ports.push_back(configured.port->value);
    global.portOrigin = FromFile(*configured.port);
  }
  global.json = parser.isSet(kJson);
  if (global.json) {
    global.jsonOrigin.kind = Origin::Kind::kCommandLine;
  } else if (configured.json) {
    global.json = configured.json->value == "true";
    global.jsonOrigin = FromFile(*configured.json);
  }
  global.trace = parser.isSet(kTrace);
  global.quiet = parser.isSet(kQuiet);
  std::string error;
  if (const auto baud = Single(parser, kBaud, error)) {
    if (!error.empty()) return error;
    const auto value = Number(*baud);
    if (!value || !IsPrinterRate(*value)) {
      return "--baud must be 9600, 19200, 57600 or 115200, not \"" + *baud + "\"";
    }
    if (global.ports.size() != 1) return "--baud needs exactly one --port (or ZELKA_PORT)";
    global.baud = *value;
    global.baudOrigin.kind = Origin::Kind::kCommandLine;
  } else if (configured.baud && global.portOrigin.kind == Origin::Kind::kConfigFile) {
    // The file's rate belongs to the file's port: with a port named elsewhere it would
    // skip the search on a port whose rate nobody gave.
    global.baud = std::stoi(configured.baud->value);
    global.baudOrigin = FromFile(*configured.baud);
  }
  return error;
}

ParseOutcome UsageError(ParseOutcome outcome, std::string error) {
  outcome.kind = Kind::kUsageError;
  outcome.error = std::move(error);
  return outcome;
}

}  // namespace

ParseOutcome ParseArguments(const QStringList& arguments,
                            const std::optional<std::string>& environmentPort,
                            const ConfigFile& configured) {
  ParseOutcome outcome;
  QCommandLineParser parser;
  AddOptions(parser);
  // Known before the rest is checked: a script that asked for JSON gets its error as JSON.
  outcome.json = arguments.contains(QStringLiteral("--json")) ||
                 (configured.json && configured.json->value == "true");
  if (!parser.parse(arguments)) return UsageError(outcome, parser.errorText().toStdString());

  std::vector<std::string> words;
  for (const QString& word : parser.positionalArguments()) words.push_back(ArgumentBytes(word));
  const bool help = parser.isSet(kHelp) || (!words.empty() && words.front() == "help");
  if (!words.empty() && words.front() == "help") words.erase(words.begin());

  if (parser.isSet(kVersion) && !help) {
    outcome.kind = Kind::kVersion;
    return outcome;
  }
  if (words.empty()) {
    if (help) {
      outcome.kind = Kind::kHelp;
      return outcome;
    }
    return UsageError(outcome, "no command given");
  }

  const std::string group = words.front();
  const bool twoWords = IsGroup(group);
  if (!twoWords && !FindCommand(group, "")) return UsageError(outcome, "unknown command \"" + group + "\"");
  if (twoWords && words.size() < 2) {
    outcome.helpTopic = group;
    if (help) {
      outcome.kind = Kind::kHelp;
      return outcome;
    }
    return UsageError(outcome, "\"" + group + "\" needs a subcommand");
  }
  const CommandSpec* command = FindCommand(group, twoWords ? words[1] : "");
  if (!command) {
    outcome.helpTopic = group;
    return UsageError(outcome, "unknown command \"" + group + " " + words[1] + "\"");
  }
  outcome.helpTopic = CommandWords(*command);
  if (help) {
    outcome.kind = Kind::kHelp;
    return outcome;
  }

  Invocation& invocation = outcome.invocation;
  invocation.command = command;
  invocation.arguments.assign(words.begin() + (twoWords ? 2 : 1), words.end());
  if (invocation.arguments.size() < command->minArguments) {
    return UsageError(outcome, "\"" + CommandWords(*command) + "\" needs " +
                                   std::string(command->arguments));
  }
  if (invocation.arguments.size() > command->maxArguments) {
    return UsageError(outcome, "unexpected argument \"" +
                                   invocation.arguments[command->maxArguments] + "\"");
  }
  if (auto error = CheckGlobalOptions(parser, environmentPort, configured, invocation.global);
      !error.empty()) {
    return UsageError(outcome, error);
  }
  if (auto error = CheckCommandOptions(parser, configured, invocation); !error.empty()) {
    return UsageError(outcome, error);
  }
  if (auto error = CheckValue(invocation); !error.empty()) return UsageError(outcome, error);
  outcome.kind = Kind::kRun;
  return outcome;
}

}  // namespace zelka::cli
