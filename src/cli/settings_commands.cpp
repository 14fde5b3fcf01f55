// settings save and settings restore: a printer's stored settings copied through a file
// to its replacement.
#include <QDateTime>
#include <QJsonArray>
#include <QSaveFile>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "graphics/logo_store.h"
#include "service/paper_width.h"
#include "service/printer_settings.h"
#include "service/stored_settings.h"

namespace zelka::cli {

namespace {

// An open that only checks the port: nothing is read.
constexpr std::chrono::milliseconds kOpenCheckTimeout{0};
// How long a printer is given to switch to the rate it was told.
constexpr std::chrono::milliseconds kNewRateSettle{200};

std::optional<int> WidthMm(service::PaperWidth width) {
  if (width == service::PaperWidth::k80mm) return 80;
  if (width == service::PaperWidth::k57mm) return 57;
  return std::nullopt;
}

std::string Trimmed(const std::string& text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

int NoAnswer(Context& context) {
  return context.output.Fail(ExitCode::kFailed, "the printer " + PrinterWords(context.session) +
                                                    " did not answer the model query; check that it is on "
                                                    "and at this rate (--baud)");
}

int RunSave(Context& context) {
  const std::string& name = context.invocation.arguments.front();
  const service::StoredSettings read = service::ReadStoredSettings(context.session);
  if (!read.answered) return NoAnswer(context);
  std::vector<std::string> missing;
  if (!WidthMm(read.paperWidth)) missing.push_back("paper width");
  if (read.referenceModel && !read.cutLine) missing.push_back("cut line");
  if (read.referenceModel && !read.density) missing.push_back("density");
  if (!missing.empty()) {
    std::string what;
    for (const std::string& m : missing) what += (what.empty() ? "" : ", ") + m;
    return context.output.Fail(ExitCode::kFailed, "the printer " + PrinterWords(context.session) +
                                                      " did not tell its " + what + "; nothing was saved");
  }
  SettingsFile settings;
  settings.model = Trimmed(*read.model);
  settings.serial = read.serialNumber ? std::optional(Trimmed(*read.serialNumber)) : std::nullopt;
  settings.saved = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
  settings.baud = context.session.Baud();
  settings.paperWidthMm = WidthMm(read.paperWidth);
  settings.cutLine = read.cutLine;
  settings.density = read.density;
  settings.codepage866 = context.invocation.codepage866;

  QSaveFile file(QString::fromStdString(name));
  const QByteArray json = SettingsJson(settings);
  if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
    return context.output.Fail(ExitCode::kFileRefused,
                               name + ": cannot be written (" + file.errorString().toStdString() + ")");
  }
  QJsonObject object = PrinterObject(context.session);
  object.insert(QStringLiteral("file"), QString::fromStdString(name));
  object.insert(QStringLiteral("model"), QString::fromStdString(settings.model));
  context.output.Result("Saved the settings of the " + settings.model + " " + PrinterWords(context.session) +
                            " to " + name + ".\n",
                        object);
  return 0;
}

// One value of a restore: what the file asked for and what the printer reads back.
struct Check {
  enum class Kind {
    kReadBack,  // written and read back: set or different
    kSentOnly,  // written; the printer cannot report it
    kSkipped,   // not written: the printer's model has no such setting
  };
  const char* key;  // JSON key, and the name in the text
  std::string wanted;
  std::string found;  // "" when the printer did not tell
  Kind kind = Kind::kReadBack;
  bool Differs() const { return kind == Kind::kReadBack && found != wanted; }
};

std::string Number(const std::optional<int>& value) { return value ? std::to_string(*value) : ""; }

std::vector<Check> ReadBack(Context& context, const SettingsFile& file, bool referenceModel) {
  const bool logo = context.invocation.logo.has_value();
  const service::StoredSettings after = service::ReadStoredSettings(context.session);
  std::vector<Check> checks;
  checks.push_back({"baud", std::to_string(file.baud),
                    after.answered ? std::to_string(context.session.Baud()) : ""});
  if (file.paperWidthMm) checks.push_back({"paper_width_mm", Number(file.paperWidthMm), Number(WidthMm(after.paperWidth))});
  const auto kind = referenceModel ? Check::Kind::kReadBack : Check::Kind::kSkipped;
  if (file.cutLine) checks.push_back({"cut_line", Number(file.cutLine), Number(after.cutLine), kind});
  if (file.density) checks.push_back({"density", Number(file.density), Number(after.density), kind});
  if (file.codepage866) checks.push_back({"codepage", "866", "", Check::Kind::kSentOnly});
  if (logo) {
    const service::StateReading state = graphics::ReadLogoState(context.session);
    checks.push_back({"logo", "stored", !state.bitSet ? "" : *state.bitSet ? "stored" : "absent"});
  }
  return checks;
}

// Writes the file's settings, the rate last, stopping at the first that fails; 0, or the
// exit code once that was reported.
int WriteSettings(Context& context, const SettingsFile& file, bool referenceModel) {
  printer::Session& session = context.session;
  using Step = std::function<printer::Result()>;
  std::vector<std::pair<Step, const char*>> steps;
  if (file.paperWidthMm) {
    // Written and read back once, as the window's paper width buttons do; the read-back
    // at the end tells what the printer kept.
    const auto width = *file.paperWidthMm == 57 ? service::PaperWidth::k57mm : service::PaperWidth::k80mm;
    steps.emplace_back([&session, width] {
      printer::Result result = printer::OpenPrinter(session, kOpenCheckTimeout);
      session.CloseAll();
      if (result.Ok()) service::SwitchPaperWidth(session, width);
      return result;
    }, "the paper width");
  }
  if (referenceModel && file.cutLine) {
    steps.emplace_back([&session, &file] { return service::WriteCutLine(session, *file.cutLine); }, "the cut line");
  }
  if (referenceModel && file.density) {
    steps.emplace_back([&session, &file] { return service::WriteDensity(session, *file.density); }, "the density");
  }
  if (file.codepage866) steps.emplace_back([&session] { return service::SelectCodePage866(session); }, "the code page");
  if (context.invocation.logo) {
    steps.emplace_back([&session, &context] { return graphics::SendLogo(session, context.inputs.logo); }, "the logo");
  }
  // Last: every later exchange runs at the new rate, the read-back included.
  if (file.baud != session.Baud()) {
    steps.emplace_back([&session, &file] { return service::SetPrinterBaudRate(session, file.baud); },
                       "the rate setting");
  }
  for (const auto& [step, what] : steps) {
    if (int code = ReportProblem(context, step(), what)) return code;
  }
  return 0;
}

std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(text.size() < width ? width - text.size() : 0, ' ') + "  ";
}

const char* StateKey(const Check& check) {
  switch (check.kind) {
    case Check::Kind::kSentOnly: return "sent";
    case Check::Kind::kSkipped: return "skipped";
    case Check::Kind::kReadBack: break;
  }
  return check.Differs() ? "different" : "set";
}

std::string StateWords(const Check& check) {
  switch (check.kind) {
    case Check::Kind::kSentOnly: return "sent (the printer does not report it)";
    case Check::Kind::kSkipped: return "not written: this model has no such setting";
    case Check::Kind::kReadBack: break;
  }
  if (!check.Differs()) return "set";
  return check.found.empty() ? "different: the printer did not answer" : "different: the printer reads " + check.found;
}

// Each value as set, different, sent or skipped; exit 1 when one differs.
int Report(Context& context, const std::string& model, const std::vector<Check>& checks, int rateBefore) {
  const std::string& name = context.invocation.arguments.front();
  std::string text = "Restored " + name + " to the " + model + " " + PrinterWords(context.session) + ":\n";
  QJsonArray values;
  std::vector<std::string> differ;
  for (const Check& check : checks) {
    if (check.Differs()) differ.push_back(check.key);
    text += "  " + Padded(check.key, 14) + Padded(check.wanted, 8) + StateWords(check) + "\n";
    QJsonObject value;
    value.insert(QStringLiteral("key"), QString::fromLatin1(check.key));
    value.insert(QStringLiteral("wanted"), QString::fromStdString(check.wanted));
    value.insert(QStringLiteral("read"), check.found.empty() ? QJsonValue(QJsonValue::Null)
                                                             : QJsonValue(QString::fromStdString(check.found)));
    value.insert(QStringLiteral("state"), QString::fromLatin1(StateKey(check)));
    values.append(value);
  }
  if (rateBefore != context.session.Baud()) {
    text += "Use --baud " + std::to_string(context.session.Baud()) + " from now on.\n";
  }
  QJsonObject object = PrinterObject(context.session);
  object.insert(QStringLiteral("file"), QString::fromStdString(name));
  object.insert(QStringLiteral("values"), values);
  context.output.Result(text, object);
  if (differ.empty()) return 0;
  std::string keys;
  for (const std::string& key : differ) keys += (keys.empty() ? "" : ", ") + key;
  return context.output.Problem(ExitCode::kFailed, "the printer " + PrinterWords(context.session) +
                                                       " does not read back what was written: " + keys);
}

int RunRestore(Context& context) {
  const std::string& name = context.invocation.arguments.front();
  const SettingsFile& file = context.inputs.settings;
  const service::StoredSettings before = service::ReadStoredSettings(context.session);
  if (!before.answered) return NoAnswer(context);
  const std::string model = Trimmed(*before.model);
  if (model != file.model && !context.invocation.force) {
    return context.output.Fail(ExitCode::kFileRefused,
                               name + ": saved from the model \"" + file.model + "\", but the printer " +
                                   PrinterWords(context.session) + " is the model \"" + model +
                                   "\"; nothing was written (--force restores it all the same)");
  }
  const int rateBefore = context.session.Baud();
  if (int code = WriteSettings(context, file, before.referenceModel)) return code;
  // The printer takes its new rate once it has read the whole rate command; the read-back
  // at the new rate must not overtake it (a pseudo-terminal's peer reads the command only
  // when it is scheduled, and bytes it reads after the port was reopened at the new rate
  // would look like noise at the old one).
  if (context.session.Baud() != rateBefore) context.session.Sleep(kNewRateSettle);
  const std::vector<Check> checks = ReadBack(context, file, before.referenceModel);

  return Report(context, model, checks, rateBefore);
}

}  // namespace

int RunSettingsCommand(Context& context) {
  return context.invocation.command->id == CommandId::kSettingsSave ? RunSave(context) : RunRestore(context);
}

}  // namespace zelka::cli
