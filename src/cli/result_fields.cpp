// The printer's port and rate as every result shows them.
#include "cli/commands.h"

namespace zelka::cli {

QJsonObject PrinterObject(const printer::Session& session) {
  QJsonObject object;
  object.insert(QStringLiteral("port"), QString::fromStdString(session.Port()));
  object.insert(QStringLiteral("baud"), session.Baud());
  return object;
}

std::string PrinterWords(const printer::Session& session) {
  return "on " + session.Port() + " at " + std::to_string(session.Baud()) + " baud";
}

}  // namespace zelka::cli
