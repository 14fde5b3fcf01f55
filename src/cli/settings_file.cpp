#include "cli/settings_file.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cmath>

#include "service/printer_settings.h"

namespace zelka::cli {

namespace {

const QString kFormatKey = QStringLiteral("format");
const QString kVersionKey = QStringLiteral("version");
const QString kSavedKey = QStringLiteral("saved");
const QString kModelKey = QStringLiteral("model");
const QString kSerialKey = QStringLiteral("serial");
const QString kBaudKey = QStringLiteral("baud");
const QString kPaperKey = QStringLiteral("paper_width_mm");
const QString kCutLineKey = QStringLiteral("cut_line");
const QString kDensityKey = QStringLiteral("density");
const QString kCodePageKey = QStringLiteral("codepage");
constexpr int kCodePage866 = 866;

QJsonValue OrNull(const std::optional<int>& value) {
  return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue OrNull(const std::optional<std::string>& value) {
  return value ? QJsonValue(QString::fromStdString(*value)) : QJsonValue(QJsonValue::Null);
}

// A whole number in `object` under `key`: "" when absent or null (`out` stays empty) or
// in range, else what is wrong.
std::string Whole(const QJsonObject& object, const QString& key, int min, int max, std::optional<int>& out) {
  const QJsonValue value = object.value(key);
  if (value.isUndefined() || value.isNull()) return {};
  const double number = value.toDouble(-1);
  if (!value.isDouble() || number < min || number > max || number != std::floor(number)) {
    return "\"" + key.toStdString() + "\" must be a whole number " + std::to_string(min) + ".." +
           std::to_string(max);
  }
  out = static_cast<int>(number);
  return {};
}

std::string Text(const QJsonObject& object, const QString& key, std::optional<std::string>& out) {
  const QJsonValue value = object.value(key);
  if (value.isUndefined() || value.isNull()) return {};
  if (!value.isString()) return "\"" + key.toStdString() + "\" must be a text";
  out = value.toString().toStdString();
  return {};
}

std::string CheckValues(const QJsonObject& object, SettingsFile& settings) {
  std::optional<std::string> model;
  if (auto e = Text(object, kModelKey, model); !e.empty()) return e;
  if (!model) return "the printer's \"model\" is missing";
  settings.model = *model;
  if (auto e = Text(object, kSerialKey, settings.serial); !e.empty()) return e;
  if (auto e = Text(object, kSavedKey, settings.saved); !e.empty()) return e;
  std::optional<int> baud;
  const auto& rates = service::kPrinterRates;
  if (auto e = Whole(object, kBaudKey, rates.front(), rates.back(), baud); !e.empty() || !baud ||
      std::find(rates.begin(), rates.end(), *baud) == rates.end()) {
    return "\"baud\" must be 9600, 19200, 57600 or 115200";
  }
  settings.baud = *baud;
  if (Whole(object, kPaperKey, 0, 999, settings.paperWidthMm) != "" ||
      (settings.paperWidthMm && *settings.paperWidthMm != 80 && *settings.paperWidthMm != 57)) {
    return "\"paper_width_mm\" must be 80 or 57";
  }
  if (auto e = Whole(object, kCutLineKey, service::kCutLineMin, service::kCutLineMax, settings.cutLine); !e.empty()) {
    return e;
  }
  if (auto e = Whole(object, kDensityKey, service::kDensityMin, service::kDensityMax, settings.density); !e.empty()) {
    return e;
  }
  std::optional<int> codepage;
  if (Whole(object, kCodePageKey, 0, 99999, codepage) != "" || (codepage && *codepage != kCodePage866)) {
    return "\"codepage\" must be 866";
  }
  settings.codepage866 = codepage.has_value();
  return {};
}

}  // namespace

QByteArray SettingsJson(const SettingsFile& settings) {
  QJsonObject object;
  object.insert(kFormatKey, QString::fromLatin1(kSettingsFormat));
  object.insert(kVersionKey, kSettingsVersion);
  object.insert(kSavedKey, OrNull(settings.saved));
  object.insert(kModelKey, QString::fromStdString(settings.model));
  object.insert(kSerialKey, OrNull(settings.serial));
  object.insert(kBaudKey, settings.baud);
  object.insert(kPaperKey, OrNull(settings.paperWidthMm));
  object.insert(kCutLineKey, OrNull(settings.cutLine));
  object.insert(kDensityKey, OrNull(settings.density));
  if (settings.codepage866) object.insert(kCodePageKey, kCodePage866);
  return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::string ParseSettingsJson(const QByteArray& bytes, SettingsFile& settings) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError) {
    return "not a settings file: not JSON (" + error.errorString().toStdString() + " at byte " +
           std::to_string(error.offset) + ")";
  }
  if (!document.isObject()) return "not a settings file: not a JSON object";
  const QJsonObject object = document.object();
  if (object.value(kFormatKey).toString() != QLatin1String(kSettingsFormat)) {
    return std::string("not a settings file: \"format\" is not \"") + kSettingsFormat + "\"";
  }
  const QJsonValue version = object.value(kVersionKey);
  if (!version.isDouble() || version.toDouble() != kSettingsVersion) {
    return "settings file format version " +
           (version.isDouble() ? QString::number(version.toDouble()).toStdString() : std::string("(none)")) +
           "; this zelka reads version " + std::to_string(kSettingsVersion);
  }
  static const QSet<QString> kKnown = {kFormatKey, kVersionKey, kSavedKey,    kModelKey,   kSerialKey,
                                       kBaudKey,   kPaperKey,   kCutLineKey, kDensityKey, kCodePageKey};
  for (const QString& key : object.keys()) {
    if (!kKnown.contains(key)) return "unknown key \"" + key.toStdString() + "\"";
  }
  SettingsFile parsed;
  if (auto e = CheckValues(object, parsed); !e.empty()) return e;
  settings = std::move(parsed);
  return {};
}

}  // namespace zelka::cli
