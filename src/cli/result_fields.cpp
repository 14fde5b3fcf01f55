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

std::string DoneWords(const Context& context, const std::string& done, const std::string& sent) {
  if (!context.invocation.global.baud) return done + " " + PrinterWords(context.session) + ".\n";
  return "Sent " + sent + " " + PrinterWords(context.session) + "; the printer does not confirm it.\n";
}

}  // namespace zelka::cli
