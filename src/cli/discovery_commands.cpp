// detect and info: the search, and the identification the window runs after it.
#include <QJsonArray>
#include <QJsonValue>

#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/failure_text.h"
#include "cli/printer_selection.h"
#include "discovery/identify.h"

namespace zelka::cli {

namespace {

constexpr char kNoAnswer[] = "(no answer)";

QJsonValue Json(const std::optional<std::string>& value) {
  return value ? QJsonValue(QString::fromStdString(*value)) : QJsonValue(QJsonValue::Null);
}

QJsonValue Json(const std::optional<int>& value) {
  return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue Json(const std::optional<bool>& value, const char* whenTrue, const char* whenFalse) {
  if (!value) return QJsonValue::Null;
  return QString::fromLatin1(*value ? whenTrue : whenFalse);
}

std::optional<int> PaperWidthMm(service::PaperWidth width) {
  switch (width) {
    case service::PaperWidth::k80mm: return 80;
    case service::PaperWidth::k57mm: return 57;
    case service::PaperWidth::kUnknown:
    case service::PaperWidth::kOther: break;
  }
  return std::nullopt;
}

QJsonObject Firmware(const std::optional<std::string>& number, const std::optional<std::string>& version) {
  QJsonObject object;
  object.insert(QStringLiteral("number"), Json(number));
  object.insert(QStringLiteral("version"), Json(version));
  return object;
}

QJsonObject IdentityObject(const printer::Session& session, const discovery::Identity& id) {
  QJsonObject object = PrinterObject(session);
  object.insert(QStringLiteral("model"), Json(id.model));
  object.insert(QStringLiteral("serial"), Json(id.serialNumber));
  object.insert(QStringLiteral("boot_firmware"), Firmware(id.bootFirmwareNumber, id.bootFirmwareVersion));
  object.insert(QStringLiteral("main_firmware"), Firmware(id.mainFirmwareNumber, id.mainFirmwareVersion));
  object.insert(QStringLiteral("paper"), Json(id.paperPresent, "present", "absent"));
  object.insert(QStringLiteral("drawer"), Json(id.drawerClosed, "closed", "open"));
  object.insert(QStringLiteral("logo"), Json(id.logoStored, "stored", "absent"));
  object.insert(QStringLiteral("paper_width_mm"), Json(PaperWidthMm(id.paperWidth)));
  object.insert(QStringLiteral("build_date"), Json(id.buildDate));
  object.insert(QStringLiteral("cut_line"), Json(id.cutLine));
  object.insert(QStringLiteral("density"), Json(id.density));
  return object;
}

std::string Text(const std::optional<std::string>& value) { return value ? *value : kNoAnswer; }

std::string Text(const std::optional<bool>& value, const char* whenTrue, const char* whenFalse) {
  if (!value) return kNoAnswer;
  return *value ? whenTrue : whenFalse;
}

std::string Text(const std::optional<int>& value, const char* unit = "") {
  return value ? std::to_string(*value) + unit : kNoAnswer;
}

std::string PaperWidthText(service::PaperWidth width) {
  if (width == service::PaperWidth::kOther) return "neither 80 nor 57 mm";
  return Text(PaperWidthMm(width), " mm");
}

std::string IdentityText(const printer::Session& session, const discovery::Identity& id) {
  std::string text;
  const auto line = [&text](const char* label, const std::string& value) {
    text += std::string(label) + value + "\n";
  };
  line("Port:            ", session.Port());
  line("Baud rate:       ", std::to_string(session.Baud()));
  line("Model:           ", Text(id.model));
  line("Serial number:   ", Text(id.serialNumber));
  line("Boot firmware:   ", "number " + Text(id.bootFirmwareNumber) + ", version " +
                              Text(id.bootFirmwareVersion) +
                              (id.bootFirmwareOutdated ? " (outdated: update the boot firmware)" : ""));
  line("Main firmware:   ", "number " + Text(id.mainFirmwareNumber) + ", version " +
                              Text(id.mainFirmwareVersion));
  line("Paper:           ", Text(id.paperPresent, "present", "absent"));
  line("Drawer:          ", Text(id.drawerClosed, "closed", "open"));
  line("Logo:            ", Text(id.logoStored, "stored", "absent"));
  line("Paper width:     ", PaperWidthText(id.paperWidth));
  line("Build date:      ", Text(id.buildDate));
  // Only the reference model tells its cut line and density.
  if (id.referenceModel) {
    line("Cut line:        ", Text(id.cutLine));
    line("Density:         ", Text(id.density));
  }
  return text;
}

int RunDetect(Context& context) {
  context.output.Result("Printer found " + PrinterWords(context.session) + ".\n",
                        PrinterObject(context.session));
  return 0;
}

bool AnyAnswer(const discovery::Identity& id) {
  return id.model || id.serialNumber || id.bootFirmwareNumber || id.bootFirmwareVersion ||
         id.mainFirmwareNumber || id.mainFirmwareVersion || id.paperPresent || id.drawerClosed ||
         id.logoStored || id.buildDate || id.paperWidth != service::PaperWidth::kUnknown;
}

int RunInfo(Context& context) {
  const discovery::IdentifyOutcome outcome = discovery::IdentifyPrinter(context.session, {});
  const discovery::Identity& id = outcome.identity;
  // Single queries that fail show as no answer; a printer that answers none is no use.
  if (!AnyAnswer(id)) {
    return context.output.Fail(ExitCode::kFailed, "the printer " + PrinterWords(context.session) +
                                                      " answered none of the identification's queries; "
                                                      "check that it is on and at this rate (--baud)");
  }
  context.output.Result(IdentityText(context.session, id), IdentityObject(context.session, id));
  return 0;
}

// --all: every printer the search finds, identified one after another for info.
int RunAll(Context& context, bool identify) {
  printer::Session& session = context.session;
  const discovery::PortList ports = PortsToSearch(context.invocation.global);
  std::vector<std::string> searched;
  const discovery::EverySearchResult found = discovery::SearchEveryPrinter(session, [&ports, &searched] {
    searched = ports();
    return searched;
  });
  if (found.printers.empty()) {
    const NotFound notFound = ExplainNotFound({std::nullopt, found.unopened}, searched);
    return context.output.Fail(notFound.code, notFound.message);
  }
  for (const auto& problem : found.unopened) {
    context.output.Note(OpenFailure(problem.port, problem.reason, problem.detail).message);
  }
  QJsonArray list;
  std::string text;
  std::vector<std::string> silent;
  for (const discovery::FoundPrinter& printer : found.printers) {
    session.SetPort(printer.port);
    session.SetBaud(printer.baud);
    if (!identify) {
      text += "Printer found " + PrinterWords(session) + ".\n";
      list.append(PrinterObject(session));
      continue;
    }
    const discovery::Identity id = discovery::IdentifyPrinter(session, {}).identity;
    if (!AnyAnswer(id)) silent.push_back(session.Port());
    text += (text.empty() ? "" : "\n") + IdentityText(session, id);
    list.append(IdentityObject(session, id));
  }
  context.output.Result(text, list);
  if (silent.empty()) return 0;
  std::string names;
  for (const std::string& port : silent) names += (names.empty() ? "" : ", ") + port;
  return context.output.Problem(ExitCode::kFailed, "the printer on " + names +
                                                       " answered the search but none of the identification's "
                                                       "queries; check that it is on");
}

}  // namespace

int RunDiscoveryCommand(Context& context) {
  const bool detect = context.invocation.command->id == CommandId::kDetect;
  if (context.invocation.all) return RunAll(context, !detect);
  return detect ? RunDetect(context) : RunInfo(context);
}

}  // namespace zelka::cli
