#include "service/stored_settings.h"

#include <chrono>

#include "commands/catalogue.h"
#include "commands/codepage.h"
#include "commands/text_line.h"
#include "service/printer_settings.h"

namespace zelka::service {

namespace {

// The identification's time-out: the printer answers its queries at once.
constexpr std::chrono::milliseconds kReadTimeout{300};

std::optional<std::string> Decoded(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return commands::DecodeCp1251(*text);
}

}  // namespace

StoredSettings ReadStoredSettings(printer::Session& session) {
  StoredSettings settings;
  if (session.Open(kReadTimeout) != link::Status::kOk) return settings;
  link::SerialLink& link = session.Link();
  const std::optional<std::string> raw = commands::QueryModelName(link);
  settings.answered = raw.has_value();
  settings.model = Decoded(raw);
  if (raw) {
    settings.referenceModel = commands::ModelOfName(*raw) == commands::PrinterModel::kReference;
    session.model = settings.referenceModel ? commands::PrinterModel::kReference : commands::PrinterModel::kOther;
  }
  if (settings.referenceModel) {
    if (const auto cut = commands::ReadPrinterParameter(link, commands::kParamCutLine)) {
      settings.cutLine = int{*cut} - kCutLineParameterBase;
    }
    if (const auto density = commands::ReadPrinterParameter(link, commands::kParamDensity)) {
      settings.density = int{*density};
    }
  }
  settings.serialNumber = Decoded(commands::QuerySerialNumber(link));
  settings.paperWidth = ReadPaperWidth(link);
  link.Close();
  return settings;
}

}  // namespace zelka::service
