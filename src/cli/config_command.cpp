// config: the defaults in force and where each one comes from.
#include <QJsonArray>

#include <algorithm>

#include "cli/commands.h"

namespace zelka::cli {

namespace {

std::string OriginWords(const Origin& origin) {
  switch (origin.kind) {
    case Origin::Kind::kDefault: return "default";
    case Origin::Kind::kCommandLine: return "command line";
    case Origin::Kind::kEnvironment: return "ZELKA_PORT";
    case Origin::Kind::kConfigFile: return origin.file + ", line " + std::to_string(origin.line);
  }
  return {};
}

QJsonObject Entry(const std::string& value, const Origin& origin) {
  static const char* const kKinds[] = {"default", "command line", "environment", "file"};
  QJsonObject entry;
  entry.insert(QStringLiteral("value"), QString::fromStdString(value));
  entry.insert(QStringLiteral("source"), QString::fromLatin1(kKinds[static_cast<int>(origin.kind)]));
  if (origin.kind == Origin::Kind::kConfigFile) {
    entry.insert(QStringLiteral("file"), QString::fromStdString(origin.file));
    entry.insert(QStringLiteral("line"), origin.line);
  }
  return entry;
}

}  // namespace

int RunConfig(Context& context) {
  const GlobalOptions& global = context.invocation.global;
  const ConfigFile none;
  const ConfigFile& config = context.config ? *context.config : none;

  std::string ports;
  for (const std::string& port : global.ports) ports += (ports.empty() ? "" : " ") + port;
  if (ports.empty()) ports = "(every serial port)";
  const std::string baud = global.baud ? std::to_string(*global.baud) : "(searched)";
  // `config` takes no --paper: the file's, else the commands' own default.
  Origin paperOrigin;
  std::string paper = "80";
  if (config.paper) {
    paper = config.paper->value;
    paperOrigin = {Origin::Kind::kConfigFile, config.paper->file, config.paper->line};
  }
  const struct {
    const char* key;
    std::string value;
    Origin origin;
  } rows[] = {{"port", ports, global.portOrigin},
              {"baud", baud, global.baudOrigin},
              {"json", global.json ? "true" : "false", global.jsonOrigin},
              {"paper", paper, paperOrigin}};

  QJsonObject object;
  std::string text;
  std::size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.value.size());
  for (const auto& row : rows) {
    object.insert(QString::fromLatin1(row.key), Entry(row.value, row.origin));
    text += std::string(row.key) + std::string(7 - std::string(row.key).size(), ' ') + row.value +
            std::string(width - row.value.size(), ' ') + "  (" + OriginWords(row.origin) + ")\n";
  }
  if (config.baud && global.baudOrigin.kind != Origin::Kind::kConfigFile) {
    text += "The baud of " + config.baud->file + ", line " + std::to_string(config.baud->line) +
            ", is not used: it goes with that file's port only.\n";
  }
  QJsonArray files;
  text += "Files, the later one winning:\n";
  for (const ConfigFile::Looked& file : config.files) {
    QJsonObject entry;
    entry.insert(QStringLiteral("path"), QString::fromStdString(file.path));
    entry.insert(QStringLiteral("found"), file.found);
    files.append(entry);
    text += "  " + file.path + (file.found ? "" : "  (none)") + "\n";
  }
  object.insert(QStringLiteral("files"), files);
  context.output.Result(text, object);
  return 0;
}

}  // namespace zelka::cli
